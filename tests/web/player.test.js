// What a player does beside playing, in headless Chromium: asks for a hint, reads the engine's
// view of the game, reloads the page in the middle of a game, and keeps and shares games.
//
//   ORMEL_SITE=build/web/site node --test tests/web/player.test.js
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { SETTLED, openPage, settings, board, stones, setUp, click, clickFree } = require('./harness.js');

// Black (the person) has four in a row with one end open; White's stones threaten nothing. The
// engine's reply to this position, at any level, is the five at 7,7.
const FOUR = '7,3 7,2 7,4 0,0 7,5 0,2 7,6 0,4';
// 60 stones; Black to move finds a forced win at every level, at once (a bench position).
const CROWDED = '3,0 8,11 0,2 14,3 0,0 14,12 10,2 13,11 5,3 1,5 7,11 5,4 6,4 14,13 3,13 5,12 4,14 ' +
  '11,8 6,3 9,7 13,6 7,1 7,9 12,5 5,14 11,10 7,6 12,13 12,1 7,13 0,3 2,8 2,9 12,11 8,7 2,14 13,1 ' +
  '14,1 6,0 1,7 11,13 14,8 4,6 3,2 8,8 5,1 3,4 4,2 13,10 5,6 14,7 5,13 7,12 1,12 12,4 7,2 1,10 1,4 ' +
  '1,0 7,14';

async function hinted(page) {
  return page.$$eval('.pt[data-hint]', (pts) => pts.map((p) => [Number(p.dataset.row), Number(p.dataset.col)]));
}

test('a hint marks the engine\'s move for the person and leaves the game as it was', async () => {
  const page = await openPage();
  await settings(page, { turn: '500' });
  await setUp(page, FOUR);
  await page.waitForSelector('#status[data-state="your-turn"]');
  await page.keyboard.press('h');
  await page.waitForSelector('.pt[data-hint]');
  assert.deepEqual(await hinted(page), [[7, 7]]);
  assert.equal((await board(page))[7][7], '.', 'marked, not played');

  // Played elsewhere, the game goes on as without the hint: the engine must block the four.
  await click(page, 12, 12);
  await page.waitForSelector(SETTLED);
  assert.deepEqual(await hinted(page), []);
  assert.equal((await board(page))[7][7], '2');

  // A hint asked while the engine thinks is refused in words.
  await setUp(page, FOUR);
  await page.waitForSelector('#status[data-state="your-turn"]');
  await page.evaluate(() => {
    document.querySelector('.pt[data-row="12"][data-col="12"]').click();
    document.getElementById('hint').click();
  });
  assert.match(await page.textContent('#note'), /thinking/);
  await page.waitForSelector(SETTLED);

  // The marked point, clicked, is played.
  await setUp(page, FOUR);
  await page.waitForSelector('#status[data-state="your-turn"]');
  await page.click('#hint');
  await page.click('.pt[data-hint]');
  await page.waitForSelector('#status[data-state="won"]');
  assert.deepEqual(page.errors, []);
});

test('the engine\'s view: one value and plot point per engine move, and a forced win in words', async () => {
  const page = await openPage();
  await settings(page, { turn: '500' });
  await page.click('#new-game');
  for (let i = 1; i <= 3; ++i) {
    await clickFree(page);
    await page.waitForSelector('#status[data-state="your-turn"]');
    assert.equal(await page.locator('#value-plot [data-move]').count(), i);
  }
  assert.match(await page.textContent('#value'), /for you|forced win/);
  assert.match(await page.textContent('#value-detail'), /^Move 6: Searched at level \d/);

  await settings(page, { first: 'engine', turn: '500' });
  await setUp(page, CROWDED);
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.equal(await page.textContent('#value'), 'The engine has found a forced win.');
  assert.deepEqual(await page.$$eval('#value-plot [data-move]', (d) => d.map((e) => e.dataset.move)), ['61']);
  assert.deepEqual(page.errors, []);
});

test('a reload restores the game of its own tab, beside a second tab\'s; New game clears it', async () => {
  const page = await openPage();
  await settings(page, { size: '17', rule: '0', turn: '500' });
  await page.click('#new-game');
  for (let i = 0; i < 2; ++i) {
    await clickFree(page);
    await page.waitForSelector('#status[data-state="your-turn"]');
  }
  const before = await board(page);
  const plotted = await page.locator('#value-plot [data-move]').count();

  // A second tab: the first holds the newest game, which is offered, not taken.
  const second = await page.context().newPage();
  await second.goto(page.url());
  await second.waitForSelector('#status[data-state="your-turn"]');
  assert.equal(await second.isVisible('#take-game'), true);
  assert.match(await second.textContent('#note'), /open in another tab/);
  await click(second, 0, 0);
  await second.waitForSelector('#status[data-state="your-turn"]');
  const other = await board(second);

  await page.reload();
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(await board(page), before);
  assert.equal(await page.inputValue('#rule'), '0');
  assert.equal(await page.locator('#value-plot [data-move]').count(), plotted);
  await second.reload();
  await second.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(await board(second), other);
  await second.close();
  // The engine, handed the game again, answers the next move.
  await clickFree(page);
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.equal(stones(await board(page)).length, 6);

  await page.click('#new-game');
  await page.reload();
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(stones(await board(page)), []);
  assert.deepEqual(page.errors, []);
});

test('a game saved as SGF or copied as letters comes back the same; a bad one changes nothing', async () => {
  const page = await openPage();
  await page.$eval('#moves-box', (box) => { box.open = true; });
  for (const size of ['15', '20']) {
    await settings(page, { size, rule: size === '15' ? '1' : '0', turn: '500' });
    await page.click('#new-game');
    for (let i = 0; i < 3; ++i) {
      await clickFree(page);
      await page.waitForSelector('#status[data-state="your-turn"]');
    }
    const played = await board(page);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-sgf')]);
    assert.match(download.suggestedFilename(), /^ormel-.*\.sgf$/);
    const sgf = fs.readFileSync(await download.path());
    await page.selectOption('#notation', 'letters');
    const letters = await page.inputValue('#moves');
    await page.selectOption('#notation', 'pairs');

    await page.click('#new-game');
    await page.setInputFiles('#sgf-file', { name: 'game.sgf', mimeType: 'text/plain', buffer: sgf });
    await page.waitForSelector('#status[data-state="your-turn"]');
    assert.deepEqual(await board(page), played, `SGF on ${size} x ${size}`);

    await page.click('#new-game');
    await setUp(page, letters);
    await page.waitForSelector('#status[data-state="your-turn"]');
    assert.deepEqual(await board(page), played, `letters on ${size} x ${size}: ${letters}`);
  }

  const kept = await board(page);
  const bad = [
    [{ name: 'go.sgf', mimeType: 'text/plain', buffer: Buffer.from('(;GM[1]SZ[19];B[aa])') }, /another game/],
    [{ name: 'cut.sgf', mimeType: 'text/plain', buffer: Buffer.from('(;GM[4]SZ[15];B[hh]') }, /missing/],
  ];
  for (const [file, message] of bad) {
    await page.setInputFiles('#sgf-file', file);
    await page.waitForFunction((re) => new RegExp(re).test(document.getElementById('moves-note').textContent),
      message.source);
    assert.deepEqual(await board(page), kept, file.name);
  }
  await setUp(page, 'h8 h8');
  assert.match(await page.textContent('#moves-note'), /taken/);
  assert.deepEqual(await board(page), kept);
  assert.deepEqual(page.errors, []);
});
