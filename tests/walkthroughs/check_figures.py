#!/usr/bin/env python3
"""Checks the explorer figures in book/PLAN.md against the walkthroughs.

    check_figures.py PLAN.md WALKTHROUGH_DIR [BOOK_TOML] [--score-item I]

Every ending of the figures' table must have a walkthrough whose expected
output (which the walkthrough's own test replays on the compiled-in book)
ends on that ending, in the story, with the table's best score; there must be
no walkthrough for an ending the table lacks; and, given the book's
book.toml, every ending it lists must be in the table or among the endings
never reached. Prints what disagrees and exits with 1.
"""
import json
import re
import sys
from pathlib import Path

BEGIN = "<!-- explorer figures: begin -->"
END = "<!-- explorer figures: end -->"


def figures(plan_text):
    if BEGIN not in plan_text or END not in plan_text:
        return None, None
    block = plan_text.split(BEGIN, 1)[1].split(END, 1)[0]
    table = {}
    for m in re.finditer(r"^\| (\d+) \| (\d+) \| (\d+|\?) \|", block, re.M):
        table[int(m.group(1))] = int(m.group(2))
    never = set()
    m = re.search(r"^- Endings never reached: (.*)$", block, re.M)
    if m and m.group(1).strip() != "none":
        never = {int(n) for n in m.group(1).split(",")}
    return table, never


def main(argv):
    score_item = 36
    if "--score-item" in argv:
        at = argv.index("--score-item")
        score_item = int(argv[at + 1])
        del argv[at : at + 2]
    plan, directory = Path(argv[1]), Path(argv[2])
    book = Path(argv[3]) if len(argv) > 3 else None
    table, never = figures(plan.read_text(encoding="utf-8"))
    problems = []
    if not table:
        print(f"{plan}: no explorer figures (a table of endings between the markers)")
        return 1
    for ending, best in sorted(table.items()):
        expected = directory / f"ending-{ending:03d}.expected"
        if not expected.exists():
            problems.append(f"ending {ending}: no walkthrough output {expected}")
            continue
        lines = [json.loads(l) for l in expected.read_text(encoding="utf-8").splitlines() if l]
        if len(lines) < 2 or "items" not in lines[-1]:
            problems.append(f"ending {ending}: {expected.name} does not end with the items")
            continue
        page = lines[-2]
        if page.get("shownPage") != ending + 1 or page.get("storyMode") != 1:
            problems.append(
                f"ending {ending}: the walkthrough ends on page {page.get('shownPage')} "
                f"(story mode {page.get('storyMode')}), not on the ending's page {ending + 1}"
            )
        score = 10 * lines[-1]["items"][score_item][1]
        if score != best:
            problems.append(f"ending {ending}: the walkthrough scores {score}, the figures {best}")
    for trace in sorted(directory.glob("ending-*.trace")):
        ending = int(trace.stem.split("-")[1])
        if ending not in table:
            problems.append(f"{trace.name}: a walkthrough for {ending}, which the figures lack")
    if book is not None:
        m = re.search(r"^endings\s*=\s*\[([^\]]*)\]", book.read_text(encoding="utf-8"), re.M)
        listed = {int(n) for n in m.group(1).replace("\n", " ").split(",") if n.strip()} if m else set()
        for ending in sorted(listed - set(table) - never):
            problems.append(f"ending {ending}: listed by {book} but not in the figures")
        for ending in sorted(set(table) - listed):
            problems.append(f"ending {ending}: in the figures but not an ending of {book}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
