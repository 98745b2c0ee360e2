// The share link: a position in the page's address after '#', in the letters of opening books.
//   a game from the empty board   #size=15&rule=1&moves=h8i9j10
//   a position set up by hand      #size=15&rule=1&black=h8i8&white=h9&tomove=white
// and a set-up position with moves played after it carries both. Pure functions: a Game in,
// text out, and back, with every refusal in words.

import { BLACK, Game, WHITE, setUpGame } from './game.js';
import { formatLetters, readLetterPoints } from './records.js';

const KEYS = ['size', 'rule', 'moves', 'black', 'white', 'tomove'];

export function formatLink(game) {
  const parts = [`size=${game.size}`, `rule=${game.rule}`];
  if (game.setup) {
    const { black, white, toMove } = game.setup;
    parts.push(`black=${formatLetters(black, game.size)}`, `white=${formatLetters(white, game.size)}`,
      `tomove=${toMove === BLACK ? 'black' : 'white'}`);
  }
  if (game.moves.length > 0 || !game.setup) parts.push(`moves=${formatLetters(game.moves, game.size)}`);
  return parts.join('&');
}

// The position a link's hash (with or without its '#') gives: {game}, {error}, or null when
// the hash is empty or a plain anchor.
export function parseLink(hash) {
  const text = hash.replace(/^#/, '');
  if (text === '') return null;
  const params = new URLSearchParams(text);
  // A plain anchor (#section) is no link to a position; key=value text naming none is one
  // that does not read.
  if (!KEYS.some((key) => params.has(key))) {
    return text.includes('=') ? { error: 'The link names no position (none of size, rule, moves, black, white, tomove).' } : null;
  }
  for (const key of params.keys()) {
    if (!KEYS.includes(key)) return { error: `The link holds "${key.slice(0, 12)}", which is not part of a position.` };
  }
  const size = Number(params.get('size') ?? 15);
  if (!Number.isInteger(size) || size < 15 || size > 20) {
    return { error: `The link's board size "${params.get('size').slice(0, 6)}" is not one of 15 to 20.` };
  }
  const rule = params.get('rule') ?? '1';
  if (rule !== '0' && rule !== '1') return { error: `The link's rule "${rule.slice(0, 6)}" is neither 1 (exactly five) nor 0.` };
  const lists = {};
  let count = 0;
  for (const key of ['black', 'white', 'moves']) {
    const value = (params.get(key) ?? '').toLowerCase();
    // Checked before reading, so a huge link costs nothing: a point takes at least two letters.
    if (value.length > 2 * 3 * size * size) return { error: 'The link holds more stones than the board has points.' };
    const read = readLetterPoints(value, size, `The link's ${key}`);
    if (read.error) return read;
    lists[key] = read.points;
    count += read.points.length;
  }
  if (count > size * size) return { error: 'The link holds more stones than the board has points.' };
  const seen = new Set();
  for (const [r, c] of [...lists.black, ...lists.white, ...lists.moves]) {
    const key = r * size + c;
    if (seen.has(key)) {
      return { error: `The link gives the point ${formatLetters([[r, c]], size)} twice.` };
    }
    seen.add(key);
  }
  const tomove = params.get('tomove') ?? 'black';
  if (tomove !== 'black' && tomove !== 'white') return { error: `The link's side to move "${tomove.slice(0, 6)}" is neither black nor white.` };
  let game;
  if (lists.black.length + lists.white.length > 0 || tomove === 'white') {
    const set = setUpGame(size, Number(rule), lists.black, lists.white, tomove === 'black' ? BLACK : WHITE);
    if (set.error) return { error: `The link's position is refused: ${set.error}` };
    game = set.game;
  } else game = new Game(size, Number(rule));
  for (const [r, c] of lists.moves) {
    if (game.result) return { error: 'The link has moves after the game was won.' };
    game.play(r, c);
  }
  return { game };
}
