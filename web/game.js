// The game as the page keeps it: stones in play order, who has won by which rule, and the
// protocol text that hands a position to the engine. No page elements here.

export const EMPTY = 0;
export const BLACK = 1; // moved first
export const WHITE = 2;

const DIRECTIONS = [[0, 1], [1, 0], [1, 1], [1, -1]];

export class Game {
  constructor(size, rule) {
    this.size = size;
    this.rule = rule; // 1: exactly five wins; 0: five or more
    this.cells = new Uint8Array(size * size);
    this.moves = []; // [row, col], black first
    this.result = null; // {winner: BLACK | WHITE | EMPTY (a draw), line: [[row, col], ...]}
  }

  at(row, col) {
    return this.cells[row * this.size + col];
  }

  onBoard(row, col) {
    return row >= 0 && col >= 0 && row < this.size && col < this.size;
  }

  // Who places the next stone.
  toMove() {
    return this.moves.length % 2 === 0 ? BLACK : WHITE;
  }

  // Places the next stone; false when the game is over or the point is not free.
  play(row, col) {
    if (this.result || !this.onBoard(row, col) || this.at(row, col) !== EMPTY) return false;
    const player = this.toMove();
    this.cells[row * this.size + col] = player;
    this.moves.push([row, col]);
    const line = winningLine(this, row, col);
    if (line) this.result = { winner: player, line };
    else if (this.moves.length === this.size * this.size) this.result = { winner: EMPTY, line: [] };
    return true;
  }

  // The game as it stood after its first `count` moves.
  replay(count) {
    const game = new Game(this.size, this.rule);
    for (const [row, col] of this.moves.slice(0, count)) game.play(row, col);
    return game;
  }
}

// The run through (row, col) that wins by the game's rule, or null. With rule 1 a run of six or
// more wins nothing; with rule 0 the whole run is the winning line.
export function winningLine(game, row, col) {
  const player = game.at(row, col);
  for (const [dr, dc] of DIRECTIONS) {
    const line = [[row, col]];
    for (const sign of [1, -1]) {
      let r = row + sign * dr;
      let c = col + sign * dc;
      while (game.onBoard(r, c) && game.at(r, c) === player) {
        line.push([r, c]);
        r += sign * dr;
        c += sign * dc;
      }
    }
    if (game.rule === 1 ? line.length === 5 : line.length >= 5) {
      return line.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
    }
  }
  return null;
}

// The protocol block that hands the engine a position: own stones are 1, the opponent's 2, in
// play order. After DONE the engine replies with its move.
export function boardBlock(moves, enginePlayer) {
  const lines = ['BOARD'];
  moves.forEach(([r, c], i) => {
    const player = i % 2 === 0 ? BLACK : WHITE;
    lines.push(`${r},${c},${player === enginePlayer ? 1 : 2}`);
  });
  lines.push('DONE');
  return lines.join('\n') + '\n';
}

// Star points: four at the fourth line from each edge, and the centre on odd sizes.
export function starPoints(size) {
  const far = size - 4;
  const points = [[3, 3], [3, far], [far, 3], [far, far]];
  if (size % 2 === 1) points.push([(size - 1) / 2, (size - 1) / 2]);
  return points;
}
