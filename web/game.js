// The game as the page keeps it: stones in play order, who has won by which rule, and the
// protocol text that hands a position to the engine. No page elements here.

export const EMPTY = 0;
export const BLACK = 1; // moved first
export const WHITE = 2;

const DIRECTIONS = [[0, 1], [1, 0], [1, 1], [1, -1]];

// The two rules played here, as the page names them (and writes them in SGF's RU).
export const RULE_NAMES = { 1: 'exactly five', 0: 'five or more' };
export const other = (player) => (player === BLACK ? WHITE : BLACK);

export class Game {
  // `setup`: stones set up before the first move, {black, white: [[row, col], ...], toMove},
  // or null for a game from the empty board, black first (see setUpGame).
  constructor(size, rule, setup = null) {
    this.size = size;
    this.rule = rule; // 1: exactly five wins; 0: five or more
    this.cells = new Uint8Array(size * size);
    this.setup = setup;
    for (const [player, points] of [[BLACK, setup?.black], [WHITE, setup?.white]]) {
      for (const [r, c] of points || []) this.cells[r * size + c] = player;
    }
    this.stones = setup ? setup.black.length + setup.white.length : 0;
    this.moves = []; // [row, col], the side to move after the setup first
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
    return this.playerOf(this.moves.length);
  }

  // Who played (or plays) move i.
  playerOf(i) {
    const first = this.setup ? this.setup.toMove : BLACK;
    return i % 2 === 0 ? first : other(first);
  }

  // Every stone in an order a manager's BOARD block can take, black first and alternating: the
  // set-up stones (whose counts allow that), then the moves.
  playOrder() {
    const order = [];
    const { black = [], white = [] } = this.setup || {};
    for (let i = 0; i < black.length; ++i) {
      order.push(black[i]);
      if (i < white.length) order.push(white[i]);
    }
    return order.concat(this.moves);
  }

  // Places the next stone; false when the game is over or the point is not free.
  play(row, col) {
    if (this.result || !this.onBoard(row, col) || this.at(row, col) !== EMPTY) return false;
    const player = this.toMove();
    this.cells[row * this.size + col] = player;
    this.moves.push([row, col]);
    ++this.stones;
    const line = winningLine(this, row, col);
    if (line) this.result = { winner: player, line };
    else if (this.stones === this.size * this.size) this.result = { winner: EMPTY, line: [] };
    return true;
  }

  // The game as it stood after its first `count` moves.
  replay(count) {
    const game = new Game(this.size, this.rule, this.setup);
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

// A game that starts from stones set up on the board, with `toMove` to play first; {game} or
// {error}. Black moves first in every game, so black to move needs as many black stones as
// white ones, white to move one black stone more. A position that already holds a five (by the
// rule) is over before it starts, so it is refused too. No stones and black to move is the
// plain empty board.
export function setUpGame(size, rule, black, white, toMove) {
  const onBoard = ([r, c]) => Number.isInteger(r) && Number.isInteger(c) && r >= 0 && c >= 0 && r < size && c < size;
  if (![...black, ...white].every(onBoard)) return { error: `A stone lies off the ${size} × ${size} board.` };
  const name = toMove === BLACK ? 'black' : 'white';
  const want = toMove === BLACK ? white.length : white.length + 1;
  if (black.length !== want) {
    return {
      error: `With ${name} to move, black needs ${toMove === BLACK ? 'as many stones as white' : 'one stone more than white'} ` +
        `(black has ${black.length}, white ${white.length}).`,
    };
  }
  const setup = black.length === 0 && toMove === BLACK ? null : { black, white, toMove };
  const game = new Game(size, rule, setup);
  // The stone count comes from the lists; a point given twice shows in the cells.
  if (game.cells.filter((cell) => cell !== EMPTY).length !== game.stones) return { error: 'A point holds two stones.' };
  for (const [r, c] of [...black, ...white]) {
    if (winningLine(game, r, c)) {
      const who = game.at(r, c) === BLACK ? 'Black' : 'White';
      return { error: `${who} already has five in a row; set up a position before the game is won.` };
    }
  }
  if (game.stones === size * size) return { error: 'The board is full.' };
  return { game };
}

// The protocol block that hands the engine a position: own stones are 1, the opponent's 2, in
// play order (black first, as Game.playOrder gives them). After DONE the engine replies with
// its move.
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
