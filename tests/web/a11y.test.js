// The board page checked by axe on a desktop and a phone, in the states that add the most to it:
// a game over (winning line marked, status and value changed), an analysis (candidates on the
// board), a review (the value plot's points, one focused) and a record chosen from a match file
// (its games listed). Serious and critical findings
// fail; the message says what and where, enough to fix each from it alone.
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { openPage, state, setUp, click, OVER } = require('./harness.js');

const AXE = require.resolve('axe-core');

// Each finding once, with the states it was seen in: most stay the same from state to state.
async function scan(page, where, found) {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ path: AXE });
  const { violations } = await page.evaluate(() => axe.run(document, { resultTypes: ['violations'] }));
  for (const v of violations.filter((f) => f.impact === 'serious' || f.impact === 'critical')) {
    const nodes = v.nodes.slice(0, 2).map((n) =>
      `\n    ${n.target.join(' ')}: ${n.failureSummary.replace(/\s+/g, ' ').trim()}`);
    const what = `${v.id} (${v.impact}, ${v.nodes.length} nodes) ${v.help}${nodes.join('')}`;
    found.set(what, [...(found.get(what) ?? []), where]);
  }
}

for (const [name, viewport] of [['desktop', { width: 1280, height: 800 }], ['phone', { width: 390, height: 844 }]]) {
  test(`no serious or critical axe findings on a ${name}`, async () => {
    const page = await openPage(viewport);
    const found = new Map();

    // White (the engine) has an open four on row 7; any black move lets it make five.
    await setUp(page, '0,0 7,5 0,14 7,6 14,0 7,7 14,14 7,8');
    await click(page, 3, 3);
    await page.waitForSelector(OVER);
    assert.equal(await state(page), 'lost');
    await scan(page, 'game over', found);

    // The position before the five, with its candidates on the board.
    await page.click('#nav-prev');
    await page.selectOption('#analysis-level', '1');
    await page.click('#analyse');
    await page.waitForSelector('#analysis-stop:disabled', { timeout: 60000 });
    assert.ok((await page.$$('.pt[data-candidate]')).length > 0, 'candidates shown');
    await scan(page, 'analysis', found);

    await page.click('#review');
    await page.waitForSelector('#review:not(:disabled)', { timeout: 60000 });
    await page.focus('#value-plot circle[data-move="2"]');
    assert.ok(await page.$eval('#value-plot circle[data-move="2"]', (e) => e === document.activeElement));
    await scan(page, 'review (a plot point focused)', found);

    const match = '(;SZ[15]RU[0]PB[alpha]PW[beta];B[hh])(;SZ[15]RU[1]PB[beta]PW[alpha];B[hh];W[ii])';
    await page.setInputFiles('#sgf-file', { name: 'match.sgf', mimeType: 'text/plain', buffer: Buffer.from(match) });
    await page.click('[data-record-game="2"]');
    await page.waitForSelector('#status[data-state="record"]');
    await scan(page, 'a record from a match file', found);

    const report = [...found].map(([what, states]) => `[${states.join(', ')}] ${what}`);
    assert.equal(report.length, 0, `axe on a ${name} (${viewport.width} x ${viewport.height}):\n  ${report.join('\n  ')}`);
  });
}
