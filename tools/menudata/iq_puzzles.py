#!/usr/bin/env python3
# Logic puzzles from readable grids, and a small model of the puzzle board to find their
# solutions while authoring.
#
# A grid is eight rows of eight characters, the top row first:
#   .  empty         B G R  blue, green, red (kinds 1, 2, 3)      b g r  the same, fixed
#   S  star          O      stone                                 U      buffer block
#   #  wall
# Writing a grid as a puzzle file:
#     python3 tools/menudata/iq_puzzles.py write GRID.txt OUT.pz0
# Solving one with the model (clicks on big blocks and turns of the board):
#     python3 tools/menudata/iq_puzzles.py solve GRID.txt
# The model follows the board's rules for colours, fixed blocks and walls: blocks fall one cell
# at a time, a big block falls as a whole, 2 x 2 blocks of one kind become big blocks scanning
# from the bottom row, and a click on a big block clears every block of its kind joined to it.
import struct, sys
from collections import deque

SIDE = 8
KINDS = {".": 0, "B": 1, "G": 2, "R": 3, "S": 4, "O": 5, "U": 6, "#": 7, "b": 1, "g": 2, "r": 3}
FIXED = set("bgr")
WALL = 7


def words_of(rows):
    """The 64 cell words of a grid: kind, fixed bit 0x200."""
    assert len(rows) == SIDE and all(len(r) == SIDE for r in rows), rows
    words = []
    for row in rows:
        for ch in row:
            kind = KINDS[ch]
            words.append(0 if kind == 0 else kind | (0x200 if ch in FIXED else 0))
    return words


def puzzle_bytes(rows):
    return struct.pack("<I64H", 2083, *words_of(rows))


def write_puzzle(path, rows):
    with open(path, "wb") as f:
        f.write(puzzle_bytes(rows))


# ---- the model -----------------------------------------------------------------------------------
# A board: tuple of 64 cells, each (kind, fixed, square) with square an id (0 none) shared by the
# four cells of a big block.

def board_of(rows):
    return normalise(tuple((KINDS[ch], ch in FIXED, 0) for row in rows for ch in row))


def at(board, c, r):
    return board[c + r * SIDE]


def fall(cells):
    """Gravity until nothing moves: loose blocks one cell down into empty cells; big blocks as a
    whole when both cells below them are empty; walls and fixed blocks stay."""
    moved = True
    while moved:
        moved = False
        tops = {}
        for i, x in enumerate(cells):
            if x[2] and x[2] not in tops:
                tops[x[2]] = i
        for r in range(SIDE - 2, -1, -1):
            for c in range(SIDE):
                i = c + r * SIDE
                kind, fixed, sq = cells[i]
                if kind == 0 or kind == WALL or fixed:
                    continue
                if sq:
                    # The square's top-left cell moves the square.
                    if tops.get(sq) != i or r + 2 >= SIDE:
                        continue
                    if cells[c + (r + 2) * SIDE][0] == 0 and cells[c + 1 + (r + 2) * SIDE][0] == 0:
                        for (cc, rr) in ((c, r + 1), (c + 1, r + 1), (c, r), (c + 1, r)):
                            cells[cc + (rr + 1) * SIDE] = cells[cc + rr * SIDE]
                            cells[cc + rr * SIDE] = (0, False, 0)
                        tops[sq] = i + SIDE
                        moved = True
                    continue
                if cells[i + SIDE][0] == 0:
                    cells[i + SIDE] = cells[i]
                    cells[i] = (0, False, 0)
                    moved = True


def arrange(cells):
    """New big blocks from loose, unfixed blocks, bottom row first, left to right."""
    next_id = max([x[2] for x in cells] + [0]) + 1
    for r in range(SIDE - 1, 0, -1):
        for c in range(SIDE - 1):
            quad = [(c, r), (c + 1, r), (c, r - 1), (c + 1, r - 1)]
            first = cells[c + r * SIDE]
            if first[0] in (0, WALL):
                continue
            if all(cells[cc + rr * SIDE][0] == first[0] and not cells[cc + rr * SIDE][1] and not cells[cc + rr * SIDE][2]
                   for cc, rr in quad):
                for cc, rr in quad:
                    k, f, _ = cells[cc + rr * SIDE]
                    cells[cc + rr * SIDE] = (k, f, next_id)
                next_id += 1


def normalise(board):
    cells = list(board)
    fall(cells)
    arrange(cells)
    # Square ids renumbered in cell order, so equal boards compare equal.
    ids = {}
    out = []
    for k, f, sq in cells:
        if sq and sq not in ids:
            ids[sq] = len(ids) + 1
        out.append((k, f, ids.get(sq, 0)))
    return tuple(out)


def click(board, index):
    """The board after a click on a big block's cell; None when the cell is no big block."""
    kind, _, sq = board[index]
    if not sq or kind in (0, WALL):
        return None
    seen = {index}
    todo = [index]
    while todo:
        i = todo.pop()
        c, r = i % SIDE, i // SIDE
        for cc, rr in ((c + 1, r), (c - 1, r), (c, r + 1), (c, r - 1)):
            if 0 <= cc < SIDE and 0 <= rr < SIDE:
                n = cc + rr * SIDE
                if n not in seen and board[n][0] == kind:
                    seen.add(n)
                    todo.append(n)
    cells = [(0, False, 0) if i in seen else x for i, x in enumerate(board)]
    return normalise(tuple(cells))


def turn(board, direction):
    """The board turned by a quarter: +1 takes the bottom-left cell to the top-left."""
    cells = [None] * (SIDE * SIDE)
    for r in range(SIDE):
        for c in range(SIDE):
            if direction > 0:
                source = r + (SIDE - 1 - c) * SIDE
            else:
                source = (SIDE - 1 - r) + c * SIDE
            cells[c + r * SIDE] = board[source]
    return normalise(tuple(cells))


def solved(board):
    return all(k in (0, WALL) for k, _, _ in board)


def moves(board, turns=True):
    seen_squares = set()
    for i, (k, _, sq) in enumerate(board):
        if sq and sq not in seen_squares:
            seen_squares.add(sq)
            after = click(board, i)
            if after is not None:
                yield ("click", i % SIDE, i // SIDE), after
    if turns:
        yield ("turn", 1, 0), turn(board, 1)
        yield ("turn", -1, 0), turn(board, -1)


def solve(board, turns=True, limit=200000):
    """The shortest list of moves to the win, or None."""
    start = board
    parent = {start: None}
    queue = deque([start])
    while queue and len(parent) < limit:
        b = queue.popleft()
        if solved(b):
            path = []
            while parent[b] is not None:
                prev, move = parent[b]
                path.append(move)
                b = prev
            return path[::-1]
        for move, after in moves(b, turns):
            if after not in parent:
                parent[after] = (b, move)
                queue.append(after)
    return None


def dead_ends(board, turns=True):
    """How many first clicks leave a board that can no longer be solved."""
    return sum(1 for move, after in moves(board, turns) if move[0] == "click" and solve(after, turns) is None)


def render(board):
    chars = ".BGRSOU#"
    return ["".join((chars[k].lower() if f and k in (1, 2, 3) else chars[k]) for k, f, _ in board[r * SIDE:(r + 1) * SIDE])
            for r in range(SIDE)]


def read_grid(path):
    with open(path) as f:
        return [line.rstrip("\n") for line in f if line.strip()][:SIDE]


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "write":
        write_puzzle(sys.argv[3], read_grid(sys.argv[2]))
    elif len(sys.argv) == 3 and sys.argv[1] == "solve":
        b = board_of(read_grid(sys.argv[2]))
        print(solve(b))
    else:
        sys.exit(__doc__ if __doc__ else "usage: iq_puzzles.py write GRID OUT | solve GRID")
