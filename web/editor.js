// The position editor: stones placed and taken off by hand, and the side to move. What it
// holds becomes a game only when it is a position a game can start from (see setUpGame).

import { BLACK, EMPTY, setUpGame } from './game.js';

export class Editor {
  constructor(game) {
    this.game = game; // what the board showed when editing began
    this.size = game.size;
    this.rule = game.rule;
    this.cells = Uint8Array.from(game.cells);
    this.toMove = game.toMove();
    this.tool = BLACK; // BLACK, WHITE or EMPTY (erase)
  }

  at(row, col) {
    return this.cells[row * this.size + col];
  }

  // Places the tool's stone on the point, or empties it.
  apply(row, col) {
    this.cells[row * this.size + col] = this.tool;
  }

  clear() {
    this.cells.fill(EMPTY);
  }

  changed() {
    return this.toMove !== this.game.toMove() || this.cells.some((v, i) => v !== this.game.cells[i]);
  }

  // {game} or {error}. Unchanged, the game goes on as it was, its moves kept.
  finish() {
    if (!this.changed()) return { game: this.game };
    const black = [];
    const white = [];
    this.cells.forEach((v, i) => {
      if (v !== EMPTY) (v === BLACK ? black : white).push([Math.floor(i / this.size), i % this.size]);
    });
    return setUpGame(this.size, this.rule, black, white, this.toMove);
  }
}
