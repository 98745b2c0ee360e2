// The share link under node: what it writes, and what the page says of a link it cannot use
// (readers.test.mjs reads random positions back).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BLACK, Game, WHITE, setUpGame } from '../../web/game.js';
import { formatLink, parseLink } from '../../web/link.js';

test('a link writes the books\' letters; an empty hash or a plain anchor is no link', () => {
  const set = setUpGame(15, 1, [[7, 7], [7, 8]], [[8, 8]], WHITE).game;
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
