// A game the node tests play on the page's Game: a full board that holds no five for either
// side, so it ends in a draw under both rules (readers.test.mjs makes random ones).
import { Game } from '../../web/game.js';

// 15 x 15 in runs of two along every line ((col + 2 row) mod 4 < 2 is black: 113 of the 225).
export function drawnGame(rule) {
  const points = Array.from({ length: 225 }, (_, i) => [Math.floor(i / 15), i % 15]);
  const [black, white] = [true, false].map((b) => points.filter(([r, c]) => ((c + 2 * r) % 4 < 2) === b));
  const game = new Game(15, rule);
  black.forEach((b, i) => game.play(...b) && i < white.length && game.play(...white[i]));
  return game;
}
