// The page's rules under node: exactly five against five or more, the winning line, the full
// board's draw.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BLACK, EMPTY, Game } from '../../web/game.js';
import { drawnGame } from './games.mjs';

// Black's stones in order (the last one decides), White's far off on rows 0 and 14 in no run.
function played(rule, black) {
  const game = new Game(15, rule);
  const last = black.length - 1;
  black.forEach((b, i) => game.play(...b) && i < last && game.play(i % 2 ? 14 : 0, 2 * (i >> 1)));
  return game;
}
const row7 = (...cols) => cols.map((c) => [7, c]);
const five = row7(3, 4, 5, 6, 7);
const diagonal = [[10, 14], [11, 13], [12, 12], [13, 11], [14, 10]];
const down = [[3, 5], [4, 5], [5, 5], [6, 5], [7, 5]];

test('who wins by which rule, and with which line', () => {
  const cases = [
    ['five', 1, row7(3, 4, 6, 7, 5), five],
    ['four', 1, row7(3, 4, 6, 5), null],
    ['six, exactly five', 1, row7(3, 4, 5, 6, 8, 7), null],
    ['six, five or more', 0, row7(3, 4, 5, 6, 8, 7), row7(3, 4, 5, 6, 7, 8)],
    ['diagonal at the edge', 1, diagonal, diagonal],
    ['six across, five down', 1, [...row7(2, 3, 4, 6, 7), ...down], down],
  ];
  for (const [name, rule, black, line] of cases) {
    const game = played(rule, black);
    assert.deepEqual(game.result, line && { winner: BLACK, line }, name);
    assert.equal(game.moves.length, 2 * black.length - 1, name);
  }
});

test('a full board with no five is a draw under both rules', () => {
  for (const rule of [0, 1]) {
    const game = drawnGame(rule);
    assert.equal(game.moves.length, 225);
    assert.deepEqual(game.result, { winner: EMPTY, line: [] });
  }
});
