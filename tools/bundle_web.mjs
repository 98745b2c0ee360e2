#!/usr/bin/env node
// Bundles the board page's modules and the npm libraries they use (SGF and the game tree) into
// one ES module for the site:
//
//   node tools/bundle_web.mjs web/app.js build/web/site/app.js
//
// The SGF library can also read files from disk and guess their encodings, which only node
// can do; the page hands it text, so those modules are left out of the bundle.
import { build } from 'esbuild';
import fs from 'node:fs';
import path from 'node:path';

const [entry, outfile] = process.argv.slice(2);
if (!entry || !outfile) {
  console.error('usage: node tools/bundle_web.mjs ENTRY OUTFILE');
  process.exit(2);
}

const nodeOnly = {
  name: 'node-only',
  setup(b) {
    b.onResolve({ filter: /^(fs|iconv-lite|jschardet)$/ }, (args) => ({ path: args.path, namespace: 'node-only' }));
    b.onLoad({ filter: /.*/, namespace: 'node-only' }, () => ({ contents: 'module.exports = {};' }));
  },
};

const result = await build({
  entryPoints: [entry],
  outfile,
  bundle: true,
  format: 'esm',
  platform: 'browser',
  target: 'es2020',
  minify: true,
  sourcemap: false,
  legalComments: 'eof', // the libraries' licence notes stay in the bundle
  plugins: [nodeOnly],
  metafile: true,
  logLevel: 'warning',
});

// The licences of the npm packages in the bundle, beside it.
const packages = new Set();
for (const input of Object.keys(result.metafile.inputs)) {
  const m = /node_modules\/((?:@[^/]+\/)?[^/]+)\//.exec(input);
  if (m) packages.add(m[1]);
}
const notes = [...packages].sort().map((name) => {
  const dir = path.join('node_modules', name);
  const licence = fs.readdirSync(dir).find((f) => /^licen[cs]e/i.test(f));
  const { version, license } = JSON.parse(fs.readFileSync(path.join(dir, 'package.json'), 'utf8'));
  const text = licence ? fs.readFileSync(path.join(dir, licence), 'utf8').trim() : `${license} licence`;
  return `${name} ${version}\n\n${text}\n`;
});
fs.writeFileSync(path.join(path.dirname(outfile), 'third-party-licences.txt'),
  `The board page bundles these npm packages into app.js.\n\n${notes.join('\n')}`);
