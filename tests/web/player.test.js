// What a player does beside playing, in headless Chromium: asks for a hint, reads the engine's
// view of the game, reloads the page in the middle of a game, and copies a game as letters and
// sets it up again, and opens a match written by a tournament tool (review.test.js saves and
// opens SGF).
//
//   ORMEL_SITE=build/web/site node --test tests/web/player.test.js
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { YOUR_TURN, SETTLED, openPage, settings, state, board, stones, setUp, click, playFree } = require('./harness.js');

// Black (the person) has four in a row with one end open; White's stones threaten nothing. The
// engine's reply to this position, at any level, is the five at 7,7.
const FOUR = '7,3 7,2 7,4 0,0 7,5 0,2 7,6 0,4';
// 60 stones; Black to move finds a forced win at every level, at once (a bench position).
const CROWDED = '3,0 8,11 0,2 14,3 0,0 14,12 10,2 13,11 5,3 1,5 7,11 5,4 6,4 14,13 3,13 5,12 4,14 ' +
  '11,8 6,3 9,7 13,6 7,1 7,9 12,5 5,14 11,10 7,6 12,13 12,1 7,13 0,3 2,8 2,9 12,11 8,7 2,14 13,1 ' +
  '14,1 6,0 1,7 11,13 14,8 4,6 3,2 8,8 5,1 3,4 4,2 13,10 5,6 14,7 5,13 7,12 1,12 12,4 7,2 1,10 1,4 ' +
  '1,0 7,14';
const plotted = (page) => page.$$eval('#value-plot [data-move]', (d) => d.map((e) => e.dataset.move));

test('a hint marks the engine\'s move for the person and leaves the game as it was', async () => {
  const page = await openPage();
  await setUp(page, FOUR);
  await page.keyboard.press('h');
  await page.waitForSelector('.pt[data-hint]');
  const hinted = () => page.$$eval('.pt[data-hint]', (pts) => pts.map((p) => [Number(p.dataset.row), Number(p.dataset.col)]));
  assert.deepEqual(await hinted(), [[7, 7]]);
  assert.equal((await board(page))[7][7], '.', 'marked, not played');

  // Played elsewhere, the game goes on as without the hint: the engine must block the four. A
  // hint asked while it thinks is refused in words.
  await page.evaluate(() => {
    document.querySelector('.pt[data-row="12"][data-col="12"]').click();
    document.getElementById('hint').click();
  });
  assert.match(await page.textContent('#note'), /thinking/);
  await page.waitForSelector(SETTLED);
  assert.deepEqual(await hinted(), []);
  assert.equal((await board(page))[7][7], '2');

  // The marked point, clicked, is played.
  await setUp(page, FOUR);
  await page.click('#hint');
  await page.click('.pt[data-hint]');
  await page.waitForSelector('#status[data-state="won"]');
});

test('the engine\'s view: one value and plot point per engine move, and a forced win in words', async () => {
  const page = await openPage();
  await page.click('#new-game');
  for (let i = 1; i <= 3; ++i) {
    await playFree(page, 1);
    assert.equal((await plotted(page)).length, i);
  }
  assert.match(await page.textContent('#value'), /for you|forced win/);
  assert.match(await page.textContent('#value-detail'), /^Move 6: Searched at level \d/);

  await settings(page, { first: 'engine' });
  await setUp(page, CROWDED);
  assert.equal(await page.textContent('#value'), 'The engine has found a forced win.');
  assert.deepEqual(await plotted(page), ['61']);
});

test('a reload restores the game of its own tab, beside a second tab\'s; New game clears it', async () => {
  const page = await openPage();
  await settings(page, { size: '17', rule: '0' });
  await page.click('#new-game');
  await playFree(page, 2);
  const before = await board(page);
  const values = await plotted(page);

  // A second tab: the first holds the newest game, which is offered, not taken.
  const second = await page.context().newPage();
  await second.goto(page.url());
  await second.waitForSelector(YOUR_TURN);
  assert.equal(await second.isVisible('#take-game'), true);
  assert.match(await second.textContent('#note'), /open in another tab/);
  await click(second, 0, 0);
  await second.waitForSelector(YOUR_TURN);
  const other = await board(second);

  await page.reload();
  await page.waitForSelector(YOUR_TURN);
  assert.deepEqual(await board(page), before);
  assert.equal(await page.inputValue('#rule'), '0');
  assert.deepEqual(await plotted(page), values);
  await second.reload();
  await second.waitForSelector(YOUR_TURN);
  assert.deepEqual(await board(second), other);
  await second.close(); // a tab in the background would slow the first one down
  // The engine, handed the game again, answers the next move.
  await playFree(page, 1);
  assert.equal(stones(await board(page)).length, 6);

  await page.click('#new-game');
  await page.reload();
  await page.waitForSelector(YOUR_TURN);
  assert.deepEqual(stones(await board(page)), []);
});

test('a game copied as letters comes back the same; a bad file or list changes nothing', async () => {
  // On 20 x 20 with five or more: the page must read the letters on the board's own size.
  const page = await openPage();
  await settings(page, { size: '20', rule: '0' });
  await page.click('#new-game');
  await playFree(page, 3);
  const played = await board(page);
  await page.$eval('#moves-box', (box) => { box.open = true; });
  await page.selectOption('#notation', 'letters');
  const letters = await page.inputValue('#moves');
  await page.click('#new-game');
  await setUp(page, letters);
  assert.deepEqual(await board(page), played, letters);

  const go = Buffer.from('(;GM[1]SZ[19];B[aa])');
  await page.setInputFiles('#sgf-file', { name: 'go.sgf', mimeType: 'text/plain', buffer: go });
  await page.waitForFunction(() => /another game/.test(document.getElementById('moves-note').textContent));
  assert.deepEqual(await board(page), played, 'a bad file');
  await setUp(page, 'h8 h8');
  assert.match(await page.textContent('#moves-note'), /taken/);
  assert.deepEqual(await board(page), played, 'a bad list');
});

// Three games of a match in one file, as a manager writes it: the rule as the protocol's
// number, players, results and dates. An SGF point [xy] is column x, row y, as the tools draw it.
const MATCH = `(;GM[4]SZ[20]RU[0]PB[alpha]PW[beta]RE[W+]DT[2026-11-02];B[jj];W[ca];B[kj])
(;GM[4]SZ[20]RU[0]PB[beta]PW[alpha]RE[B+]DT[2026-11-02]
;B[jj];W[aa];B[kj];W[ba];B[lj];W[ca];B[mj];W[da];B[nj])
(;GM[4]SZ[20]RU[0]PB[alpha]PW[beta]RE[0];B[jj])`;

test('a match file: its games listed, one opened as a record, saved and reopened as .psq', async () => {
  const page = await openPage();
  await page.setInputFiles('#sgf-file', { name: 'match.sgf', mimeType: 'text/plain', buffer: Buffer.from(MATCH) });
  await page.waitForSelector('[data-record-game="3"]');
  assert.match(await page.textContent('[data-record-game="2"]'), /^2\. beta \(black\) – alpha \(white\), black won by five, 9 moves, 2026-11-02$/);
  await page.click('[data-record-game="2"]');
  await page.waitForSelector('#status[data-state="record"]');
  assert.equal(await page.textContent('#status'), 'beta (black) – alpha (white): black won by five, 9 moves.');
  const drawn = stones(await board(page));
  assert.deepEqual(drawn.slice(0, 3), [[0, 0, '2'], [0, 1, '2'], [0, 2, '2']]);
  assert.deepEqual(drawn.filter(([r]) => r === 9).map(([, c]) => c), [9, 10, 11, 12, 13]);
  assert.equal(await page.inputValue('#rule'), '0');
  assert.doesNotMatch(await page.textContent('.readout'), /engine wins|you|You/);

  await page.$eval('#moves-box', (box) => { box.open = true; });
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-psq')]);
  const psq = fs.readFileSync(await download.path(), 'utf8');
  assert.match(psq, /^Piskvorky 20x20, 11:11, 0\r\n10,10,0\r\n1,1,0\r\n11,10,0\r\n(.*\r\n){6}beta\r\nalpha\r\n-1\r\n$/);
  await page.setInputFiles('#sgf-file', { name: 'game.psq', mimeType: 'text/plain', buffer: Buffer.from(psq) });
  await page.waitForFunction(() => document.getElementById('games-box').hidden);
  assert.deepEqual(stones(await board(page)), drawn);
  assert.match(await page.textContent('#status'), /^beta \(black\) – alpha \(white\): black won by five/);

  // The engine takes a side only when asked: from move 4 the person plays black.
  await page.click('#nav-first');
  for (let i = 0; i < 4; ++i) await page.click('#nav-next');
  await page.click('#play-here');
  await page.waitForSelector(YOUR_TURN);
  assert.equal(await state(page), 'your-turn');
});
