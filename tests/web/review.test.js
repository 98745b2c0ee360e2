// Reviewing a game in headless Chromium, on 20 x 20 with five or more: a few moves played, the
// review's progress and its plot with one point per move, a jump by a point, walking with the
// buttons and keys, a variation that keeps the line it branched from, and the tree saved as SGF
// and opened again on the board it was played on.
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { SETTLED, openPage, settings, state, board, stones, click, playFree } = require('./harness.js');

const moveShown = (page) => page.getAttribute('#board', 'data-current-move').then(Number);
const variations = (page) => page.$$eval('#variations [data-variation]', (v) => v.map((b) => b.textContent));
const plotted = (page) => page.$$eval('#value-plot circle[data-move]', (c) => c.map((e) => Number(e.dataset.move)));

test('review, walk through, branch, and keep the tree in SGF', async () => {
  const page = await openPage();
  await settings(page, { size: '20', rule: '0' });
  await page.click('#new-game');
  await playFree(page, 3);
  const played = await board(page);

  await page.selectOption('#analysis-level', '1');
  await page.click('#review');
  await page.waitForSelector('#review:not(:disabled)', { timeout: 120000 });
  assert.deepEqual(await page.$eval('#review-progress', (p) => [p.value, p.max]), [7, 7]);
  assert.deepEqual(await plotted(page), [1, 2, 3, 4, 5, 6], 'one point per move, of both sides');

  await page.click('#value-plot circle[data-move="2"]');
  assert.equal(await moveShown(page), 2);
  assert.equal(await state(page), 'studying');
  for (const [button, expected] of [['#nav-next', 3], ['#nav-prev', 2], ['#nav-first', 0], ['#nav-last', 6]]) {
    await page.click(button);
    assert.equal(await moveShown(page), expected, button);
  }
  await page.keyboard.press('PageUp');
  assert.equal(await moveShown(page), 5);
  await page.keyboard.press('Home');
  await page.keyboard.press('PageDown');
  await page.keyboard.press('PageDown');
  assert.equal(await moveShown(page), 2);

  // A different third move: a variation, with no engine reply; the game's line stays.
  await click(page, 0, 0);
  assert.equal(await moveShown(page), 3);
  assert.equal(stones(await board(page)).length, 3);
  await page.click('#nav-prev');
  assert.equal((await variations(page)).length, 2, 'both third moves are kept');

  await page.$eval('#moves-box', (box) => { box.open = true; });
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-sgf')]);
  assert.match(download.suggestedFilename(), /^ormel-.*\.sgf$/);
  const sgf = fs.readFileSync(await download.path(), 'utf8');
  assert.match(sgf, /V\[-?\d+\]/, 'the review is in the file');
  await page.click('#new-game');
  await page.setInputFiles('#sgf-file', { name: 'reviewed.sgf', mimeType: 'text/plain', buffer: Buffer.from(sgf) });
  await page.waitForSelector(SETTLED);
  assert.equal(await moveShown(page), 6, 'opened at the end of its main line');
  assert.deepEqual(await board(page), played);
  await page.keyboard.press('Home');
  await page.keyboard.press('PageDown');
  await page.keyboard.press('PageDown');
  assert.equal((await variations(page)).length, 2, 'the variation came back with the file');
  assert.equal((await plotted(page)).length, 6);
});
