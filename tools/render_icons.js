// Renders web/icon.svg to the PNG icons the manifest names (web/icon-192.png, web/icon-512.png)
// in Debian's Chromium, through the browser tests' playwright-core:
//   npm ci --prefix tests/web && node tools/render_icons.js
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const ROOT = path.resolve(__dirname, '..');
const { chromium } = require(path.join(ROOT, 'tests/web/node_modules/playwright-core'));

(async () => {
  const svg = fs.readFileSync(path.join(ROOT, 'web/icon.svg')).toString('base64');
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  for (const size of [192, 512]) {
    const page = await browser.newPage({ viewport: { width: size, height: size } });
    await page.setContent('<style>body { margin: 0 }</style>' +
      `<img src="data:image/svg+xml;base64,${svg}" width="${size}" height="${size}">`);
    await page.waitForFunction(() => document.images[0].complete);
    const out = path.join(ROOT, `web/icon-${size}.png`);
    await page.screenshot({ path: out, omitBackground: true });
    console.log(`${out}: ${fs.statSync(out).size} bytes`);
    await page.close();
  }
  await browser.close();
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
