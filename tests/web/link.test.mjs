// The share link under node: games and set-up positions read back as written, and what the
// page says of a link it cannot use.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BLACK, Game, WHITE, setUpGame } from '../../web/game.js';
import { formatLink, parseLink } from '../../web/link.js';
import { randomGame } from './games.mjs';

const seen = (g) => [g.size, g.rule, g.setup, g.moves, g.result, g.toMove()];

test('games and set-up positions read back as written', () => {
  const games = [new Game(15, 1), randomGame(20, 0, 7, Infinity), randomGame(17, 1, 3, 30)];
  const set = setUpGame(15, 1, [[7, 7], [7, 8]], [[8, 8]], WHITE).game;
  games.push(set);
  const played = set.replay(0);
  played.play(6, 6);
  played.play(9, 9);
  games.push(played);
  for (const game of games) {
    const { game: back, error } = parseLink(`#${formatLink(game)}`);
    assert.equal(error, undefined, formatLink(game));
    assert.deepEqual(seen(back), seen(game), formatLink(game));
  }
  assert.equal(formatLink(set), 'size=15&rule=1&black=h8i8&white=i7&tomove=white');
  const g = new Game(15, 1);
  [[7, 7], [6, 8], [5, 9]].forEach((m) => g.play(...m));
  assert.equal(formatLink(g), 'size=15&rule=1&moves=h8i9j10');
  assert.equal(parseLink(''), null);
  assert.equal(parseLink('#section-2'), null);
});

test('a link it cannot use is refused in words', () => {
  const five = 'black=a1b1c1d1e1&white=a3b3c3d3e3';
  const cases = [
    ['size=21&moves=h8', /board size "21"/],
    ['size=x', /board size/],
    ['rule=2&moves=h8', /rule "2"/],
    ['moves=h8!9', /"!9" is not a column letter/],
    ['moves=h8z1', /z1 is off a 15 × 15 board/],
    ['moves=h16', /h16 is off/],
    ['moves=h8i9h8', /h8 twice/],
    ['black=h8&white=h8', /h8 twice/],
    [`${five}&tomove=black`, /already has five/],
    ['black=h8i8&white=h9', /black needs as many stones as white/],
    ['tomove=grey&black=h8', /side to move "grey"/],
    [`moves=${'a1'.repeat(226)}`, /more stones than the board/],
    ['moves=h8i9h9i10h10i11h11i12h12i13', /moves after the game was won/],
    ['size=15&player=me', /"player"/],
    ['#qwe%%rty==&&zz', /names no position/],
  ];
  for (const [hash, error] of cases) {
    const read = parseLink(hash);
    assert.match(read?.error ?? 'no error', error, hash);
  }
  assert.equal(setUpGame(15, 1, [], [], BLACK).game.setup, null, 'no stones: the empty board');
});
