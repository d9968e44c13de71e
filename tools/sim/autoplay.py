#!/usr/bin/env python3
"""Records a replay script by playing Saltburst through saltburst-sim.

It chooses the mini game in the title menu, starts a game, then plays it for a while the way a
steady player would (aiming at the target bubble, turning the cursor to its angle, jabbing spinning
bubbles), then lets the bubbles land until the game is over, clicks back to the title menu and quits
from it. Since the game is deterministic for a seed and a script, the script it writes replays that
very game. Used to record the golden replays under tests/replays.

    autoplay.py --sim build/release/tools/sim/saltburst-sim --mini 1 --seed 7 --play 1800 > game.txt
"""
import argparse
import json
import subprocess
import sys
import tempfile

STEP = 4  # frames between decisions


def menu_script(mini):
    """Skips the splash, picks the mini game and starts a game; returns (script, first play frame)."""
    script = ["# skip the splash while loading", "0 key 27", "2 move 320 310"]
    frame = 3
    for _ in range(mini):
        script.append(f"{frame} click 1")
        frame += 2
    script += [f"{frame} move 320 262", f"{frame + 2} click 1"]
    return script, frame + 3


def aim(state, mini):
    """Where to put the pointer and what to do with the buttons this step."""
    bubbles = state["bubbles"]
    player = state["player"]
    if mini == 2:
        spinning = [b for b in bubbles if b["roton"] and -20 < b["y"] < 420]
        if not spinning:
            return None, None, False
        b = max(spinning, key=lambda b: b["y"])  # the lowest is the most urgent
        x = int(b["x"] - b["xoffs"])
        y = int(min(400, max(60, b["y"] + STEP)))
        return (x, y), None, player["jab"] == 0
    if not bubbles:
        return None, None, False
    b = bubbles[0]  # the oldest bubble is normally the target
    fall = 2 if mini == 1 else 1
    x = int(min(540, max(100, b["x"])))
    y = int(min(400, max(120, b["y"] + fall * STEP // 2)))
    turn = None
    if mini == 0:
        diff = (b["rotation"] - player["rotation"]) % 360
        if 6 < diff < 180:
            turn = 2
        elif diff >= 180 and 360 - diff > 6:
            turn = 1
    return (x, y), turn, False


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--sim", required=True)
    ap.add_argument("--workdir", default=".")
    ap.add_argument("--mini", type=int, choices=[0, 1, 2], required=True)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--play", type=int, default=1500, help="frames of active play before letting it end")
    args = ap.parse_args()

    script, start = menu_script(args.mini)
    with tempfile.NamedTemporaryFile("w", suffix=".txt") as menu:
        menu.write("\n".join(script) + "\n")
        menu.flush()
        sim = subprocess.Popen([args.sim, "--seed", str(args.seed), "--script", menu.name, "--workdir", args.workdir,
                                "--interactive"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        held = None
        last_pointer = None
        over_at = None
        for line in sim.stdout:
            state = json.loads(line)
            if "end" in state:
                break
            frame = state["frame"]
            events = []
            if state["phase"] == "loop" and frame >= start and frame % STEP == 0:
                if state["game_state"] == 5 and over_at is None:
                    over_at = frame
                    script.append("# game over")
                if over_at is not None:
                    if frame == over_at + 204:
                        events.append("click 1")
                    elif frame == over_at + 212:
                        events += ["move 320 380", "click 1"]
                elif frame - start < args.play:
                    pointer, turn, jab = aim(state, args.mini)
                    if pointer and pointer != last_pointer:
                        events.append(f"move {pointer[0]} {pointer[1]}")
                        last_pointer = pointer
                    if turn != held:
                        if held:
                            events.append(f"mouseup {held}")
                        if turn:
                            events.append(f"mousedown {turn}")
                        held = turn
                    if jab:
                        events.append("click 1")
                elif held:
                    events.append(f"mouseup {held}")
                    held = None
                if frame - start > 30000:
                    sys.exit("autoplay: the game did not end")
            script += [f"{frame} {e}" for e in events]
            sim.stdin.write("".join(e + "\n" for e in events) + ".\n")
            sim.stdin.flush()
        sim.stdin.close()
        sim.wait()
    print(f"# mini game {args.mini}, seed {args.seed}, {args.play} frames of play: recorded by tools/sim/autoplay.py")
    print("\n".join(script))


if __name__ == "__main__":
    main()
