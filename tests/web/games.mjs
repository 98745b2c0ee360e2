// Games the node tests play on the page's Game: seeded random ones, and a full board that
// holds no five for either side, so it ends in a draw under both rules.
import { Game } from '../../web/game.js';

// Random free points until the game ends or `stopAt` moves are on the board.
export function randomGame(size, rule, seed, stopAt = Infinity) {
  let s = seed >>> 0;
  const random = () => (s = (s * 1664525 + 1013904223) >>> 0) / 2 ** 32;
  const game = new Game(size, rule);
  while (!game.result && game.moves.length < stopAt) {
    game.play(Math.floor(random() * size), Math.floor(random() * size));
  }
  return game;
}

// 15 x 15 in runs of two along every line ((col + 2 row) mod 4 < 2 is black: 113 of the 225).
export function drawnGame(rule) {
  const black = [];
  const white = [];
  for (let r = 0; r < 15; ++r) {
    for (let c = 0; c < 15; ++c) ((c + 2 * r) % 4 < 2 ? black : white).push([r, c]);
  }
  const game = new Game(15, rule);
  black.forEach((b, i) => game.play(...b) && i < white.length && game.play(...white[i]));
  return game;
}
