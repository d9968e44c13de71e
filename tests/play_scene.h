// A play field set up by hand for the rules' tests: a started game with no waves of its own, bubbles of
// chosen kinds at chosen places, the cursor put where a test wants it, and what the logs saw.
#pragma once

#include <string>

#include "harness.h"

class scene {
  public:
    // A fresh game of the mini game, its spawn timer pushed so far back that no wave comes by itself.
    explicit scene(int mini) {
        freeze_timer = 0;  // these globals outlive a game; a test must not inherit another's
        keg_blast = 0;
        g.start_play(mini);
        spawn_timer = -1000000;
        player().best_sc = 1000000;  // no "New Best Score!" unless a test asks for it
        player().goal = 1000;        // no round completion unless a test asks for it
        cursor(320, 440);            // the bottom bound: below every bubble's reach
        g.clear_logs();
    }

    player_tag &player() { return players[mini_game]; }

    // Appends a bubble to the field, as a wave would.
    bubble_tag &bubble(int kind, float x, float y, float rotation = 0, int roton = 1, float xoffs = 0,
                       float xstp = 0.5f) {
        bubble_tag b;
        b.frame = kind;
        b.x = x;
        b.y = y;
        b.rotation = rotation;
        b.roton = roton;
        b.xoffs = xoffs;
        b.xstp = xstp;
        bubble_list.push_back(b);
        return bubble_list.back();
    }

    // Puts the cursor at a place both in the player's record (what this frame's bubbles see) and on the
    // system pointer (what the player's update reads back at the end of the frame).
    void cursor(int x, int y) {
        g.backend().move(x, y);
        player().x = static_cast<float>(x);
        player().y = static_cast<float>(y);
    }
    void cursor(int x, int y, float rotation) {
        cursor(x, y);
        player().rotation = rotation;
    }

    // Pops a bubble of the kind at the cursor in the next frame ("Saltburst!" or "Dizzyburst!").
    void pop(int kind) {
        target_set = 0;
        bubble(kind, player().x, player().y, player().rotation);
        g.frame();
    }

    bool alive(const bubble_tag *b) const {
        for (const bubble_tag &each : bubble_list)
            if (&each == b) return true;
        return false;
    }

    // How many times the sound with this file name was cued since the logs were last cleared.
    int cues(const std::string &file) {
        int n = 0;
        for (const auto &r : g.sounds())
            if (r.op == "cue" && r.sound == file) ++n;
        return n;
    }

    // The draws of one picture (image and frame) since the logs were last cleared.
    std::vector<platform::draw_record> draws_of(image img, int frame) {
        std::vector<platform::draw_record> out;
        for (const auto &r : g.draws())
            if (r.op == "image" && r.image == img.id && r.frame == frame) out.push_back(r);
        return out;
    }

    game g;
};

// The sound files as the game names them.
inline const std::string pop_sound = "data\\bubblepop.ogg";
inline const std::string select_sound = "data\\rapierselect.ogg";
inline const std::string keg_sound = "data\\powderkeg.ogg";
inline const std::string time_sound = "data\\timebell.ogg";
inline const std::string round_sound = "data\\newround.ogg";
inline const std::string bonus_sound = "data\\getbonus.ogg";
inline const std::string marooned_sound = "data\\marooned.ogg";
