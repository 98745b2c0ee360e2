// Records and their formats: the page's own "row,col" list, the letter-number notation of
// opening books (h8i9j10), and SGF files. Pure functions: text in, a Game or an error out.

import { BLACK, EMPTY, Game, WHITE, setUpGame } from './game.js';

// The row,col list ------------------------------------------------------------------------------

// The move list as people copy it: "row,col" pairs in play order, ten to a line.
export function formatMoves(moves) {
  const lines = [];
  for (let i = 0; i < moves.length; i += 10) {
    lines.push(moves.slice(i, i + 10).map(([r, c]) => `${r},${c}`).join(' '));
  }
  return lines.join('\n');
}

// Reads a pasted move list into a game of the given size and rule. Anything between the
// "row,col" pairs (move numbers, dots, line breaks) is ignored, but a minus sign stays with its
// number: "-1,3" is off the board, not a stone at 1,3. Returns {game} or {error}.
export function parseMoves(text, size, rule) {
  const game = new Game(size, rule);
  const pairs = [...text.matchAll(/(-?\d+)\s*,\s*(-?\d+)/g)];
  for (const [i, match] of pairs.entries()) {
    const row = Number(match[1]);
    const col = Number(match[2]);
    const error = playOrExplain(game, row, col, `Move ${i + 1} (${row},${col})`);
    if (error) return { error };
  }
  if (pairs.length === 0 && text.trim() !== '') return { error: 'No row,col pairs found.' };
  return { game };
}

// Plays one stone, or says why it cannot be played; `what` names the move in the message.
function playOrExplain(game, row, col, what) {
  if (game.result) return `${what} comes after the game ended.`;
  if (!game.onBoard(row, col)) return `${what} is off a ${game.size} × ${game.size} board.`;
  if (!game.play(row, col)) return `${what} is taken already.`;
  return null;
}

// Letters and numbers ---------------------------------------------------------------------------
// Columns are letters from `a` (column 0, no letter skipped: a..t on 20 × 20), rows are numbers
// counted from the bottom as opening books draw the board: `a1` is the bottom-left corner, the
// page's row size-1. So on 15 × 15, h8 is the centre (row 7, col 7) and a15 is row 0, col 0.

const A = 'a'.charCodeAt(0);

export function letterPoint([row, col], size) {
  return `${String.fromCharCode(A + col)}${size - row}`;
}

// The moves back to back, as the books write them: "h8i9j10".
export function formatLetters(moves, size) {
  return moves.map((move) => letterPoint(move, size)).join('');
}

// Reads letter-number points written back to back ("h8i9j10") on a board of `size`, without
// playing them; {points} or {error}. `what` names the list in the message.
export function readLetterPoints(text, size, what) {
  const points = [];
  const token = /([a-z])(\d{1,2})/y;
  while (token.lastIndex < text.length) {
    const at = token.lastIndex;
    const match = token.exec(text);
    if (!match) {
      const rest = text.slice(at, at + 6);
      return { error: `${what}: "${rest}" is not a column letter followed by a row number, like h8.` };
    }
    const col = match[1].charCodeAt(0) - A;
    const row = size - Number(match[2]);
    if (col >= size || row < 0 || row >= size) {
      return { error: `${what}: ${match[0]} is off a ${size} × ${size} board.` };
    }
    points.push([row, col]);
  }
  return { points };
}

// Reads letter-number moves into a game of the given size and rule. Upper case is read as lower
// case; white space and commas may stand between moves, nothing else. Returns {game} or {error}.
export function parseLetters(text, size, rule) {
  const game = new Game(size, rule);
  const token = /[\s,]*(?:([a-z])(\d+))?/iy;
  let number = 0;
  while (token.lastIndex < text.length) {
    const match = token.exec(text);
    if (match[1] === undefined) {
      if (token.lastIndex === text.length) break; // only separators were left
      const rest = text.slice(token.lastIndex).split(/[\s,]/)[0].slice(0, 12);
      return {
        error: `Move ${number + 1} is not readable: "${rest}" is not a column letter ` +
          'followed by a row number, like h8.',
      };
    }
    ++number;
    const col = match[1].toLowerCase().charCodeAt(0) - A;
    const row = size - Number(match[2]);
    const error = playOrExplain(game, row, col, `Move ${number} (${match[1]}${match[2]})`);
    if (error) return { error };
  }
  return { game };
}

// SGF -------------------------------------------------------------------------------------------
// Written as GM[4] (this game) FF[4] CA[UTF-8] SZ[n], then RU[exactly five] or RU[five or more]
// for the rule, RE when the game is over (B+, W+, 0 for a full board, B+F or W+F for a win by
// forfeit), one move a node.
// Points are two lower-case letters, column then row, `a` = 0 from the top-left (the page's own
// rows, unlike the books' numbers).
//
// Read leniently, as other tools write it: white space anywhere between tokens, any properties
// we do not use, comments with escaped brackets, and variations, of which the main line (the
// first at each branch) is played. A file without GM is taken as this game, one without SZ as
// 15 × 15, one without RU as the caller's rule. RE is not trusted: the moves decide the result.

const RULE_NAMES = { 1: 'exactly five', 0: 'five or more' };
const RESULTS = { [BLACK]: 'B+', [WHITE]: 'W+', [EMPTY]: '0' };
// What RU may say, after lower case and runs of spaces, hyphens and underscores become one space.
const RULE_VALUES = {
  'exactly five': 1,
  standard: 1,
  'five or more': 0,
  freestyle: 0,
  free: 0,
};

// A win without a line on the board was given, not played (an engine that ran over its time):
// the file says so with +F, since a reader that replays the moves will find no five.
function result({ winner, line }) {
  return RESULTS[winner] + (winner !== EMPTY && line.length === 0 ? 'F' : '');
}

function sgfPoint([row, col]) {
  return String.fromCharCode(A + col, A + row);
}

// A set-up position: AB and AW list its stones, PL names the side to move.
function setupProperties(setup) {
  if (!setup) return '';
  const list = (points) => points.map((p) => `[${sgfPoint(p)}]`).join('');
  return (setup.black.length ? `AB${list(setup.black)}` : '') +
    (setup.white.length ? `AW${list(setup.white)}` : '') + `PL[${setup.toMove === BLACK ? 'B' : 'W'}]`;
}

export function toSgf(game) {
  const head =
    `(;GM[4]FF[4]CA[UTF-8]AP[ormel]SZ[${game.size}]RU[${RULE_NAMES[game.rule]}]` +
    (game.result ? `RE[${result(game.result)}]` : '') + setupProperties(game.setup);
  const lines = [head];
  for (let i = 0; i < game.moves.length; i += 10) {
    lines.push(
      game.moves
        .slice(i, i + 10)
        .map((move, j) => `;${game.playerOf(i + j) === BLACK ? 'B' : 'W'}[${sgfPoint(move)}]`)
        .join(''),
    );
  }
  return `${lines.join('\n')})\n`;
}

// Reads the main line of an SGF file's first game. Returns {game} or {error}.
export function parseSgf(text, fallbackRule) {
  const nodes = sgfMainLine(text);
  if (nodes.error) return nodes;
  if (nodes.length === 0) return { error: 'This SGF file holds no game.' };

  const root = nodes[0];
  const gm = root.GM?.[0].trim();
  if (gm !== undefined && gm !== '4') {
    return { error: `This SGF file is for another game (GM[${gm}]); Gomoku is GM[4].` };
  }
  let size = 15;
  if (root.SZ) {
    const sz = /^\s*(\d+)\s*(?::\s*(\d+)\s*)?$/.exec(root.SZ[0]);
    if (!sz) return { error: `The board size SZ[${root.SZ[0]}] is not readable.` };
    if (sz[2] !== undefined && sz[2] !== sz[1]) {
      return { error: `The board in this file is not square (SZ[${root.SZ[0]}]).` };
    }
    size = Number(sz[1]);
    if (size < 15 || size > 20) {
      return { error: `The board in this file is ${sz[1]} × ${sz[1]}; boards here are 15 to 20.` };
    }
  }
  let rule = fallbackRule;
  const ru = nodes.find((node) => node.RU)?.RU[0] ?? '';
  if (ru.trim() !== '') {
    rule = RULE_VALUES[ru.trim().toLowerCase().replace(/[\s_-]+/g, ' ')];
    if (rule === undefined) {
      return {
        error: `The file's rule RU[${ru}] is not one played here: ` +
          '"exactly five" or "five or more".',
      };
    }
  }

  const setUp = readSetup(root, size, rule);
  if (setUp.error) return setUp;
  const { game } = setUp;
  for (const node of nodes) {
    for (const setup of ['AB', 'AW', 'AE']) {
      if (node[setup] && node !== root) {
        return { error: `The file sets stones up with ${setup}[] after the game began; only its first node may.` };
      }
    }
    const moves = [];
    for (const colour of ['B', 'W']) for (const v of node[colour] || []) moves.push([colour, v]);
    if (moves.length === 0) continue;
    const number = game.moves.length + 1;
    if (moves.length > 1) return { error: `Move ${number} holds more than one stone.` };
    const [colour, value] = moves[0];
    const shown = value.length > 12 ? `${value.slice(0, 12)}…` : value;
    const what = `Move ${number} (${colour}[${shown}])`;
    const expected = game.toMove() === BLACK ? 'B' : 'W';
    if (colour !== expected) {
      return {
        error: number === 1 && !game.setup ? `${what} is White's, but Black moves first.`
          : number === 1 ? `${what} is ${colour === 'B' ? 'Black' : 'White'}'s, but the other side is to move.`
          : `${what} is ${colour === 'B' ? 'Black' : 'White'}'s again; the colours alternate.`,
      };
    }
    const point = value.trim();
    // An empty value passes; so does "tt" where t is off the board (boards under 20).
    if (point === '' || (point === 'tt' && size <= 19)) {
      return { error: `${what} is a pass; a game here has no passes.` };
    }
    if (!/^[a-zA-Z]{2}$/.test(point)) {
      return { error: `${what} is not readable: a point is two letters, column then row.` };
    }
    const error = playOrExplain(game, sgfCoordinate(point[1]), sgfCoordinate(point[0]), what);
    if (error) return { error };
  }
  return { game };
}

// The game the root node sets up: stones from AB and AW (AE has nothing to take away on an
// empty board), PL for the side to move, else the side the stone counts give. {game} or {error}.
function readSetup(root, size, rule) {
  if (!root.AB && !root.AW) return { game: new Game(size, rule) };
  const lists = { AB: [], AW: [] };
  for (const id of ['AB', 'AW']) {
    for (const value of root[id] || []) {
      const point = value.trim();
      if (!/^[a-zA-Z]{2}$/.test(point)) {
        return { error: `The set-up stone ${id}[${point.slice(0, 12)}] is not a point (two letters; ranges are not read).` };
      }
      const at = [sgfCoordinate(point[1]), sgfCoordinate(point[0])];
      if (at[0] >= size || at[1] >= size) return { error: `The set-up stone ${id}[${point}] is off a ${size} × ${size} board.` };
      lists[id].push(at);
    }
  }
  const pl = root.PL?.[0].trim().toUpperCase();
  if (pl !== undefined && pl !== 'B' && pl !== 'W') return { error: `PL[${pl.slice(0, 12)}] names neither B nor W.` };
  const toMove = pl ? (pl === 'B' ? BLACK : WHITE) : lists.AB.length > lists.AW.length ? WHITE : BLACK;
  const set = setUpGame(size, rule, lists.AB, lists.AW, toMove);
  return set.error ? { error: `The file's set-up position is refused: ${set.error}` } : set;
}

// a..z are 0..25 and A..Z 26..51, as SGF counts them; upper case is off every board here.
function sgfCoordinate(letter) {
  return letter >= 'a' ? letter.charCodeAt(0) - A : letter.charCodeAt(0) - 'A'.charCodeAt(0) + 26;
}

// The nodes of the main line of the first game tree, each as {PROPERTY: [values]}, or {error}.
// One pass without recursion, so deeply nested variations cannot overflow the stack: nodes
// count until the first ')' (the end of the main line), the rest is only checked for balance.
function sgfMainLine(text) {
  const nodes = [];
  const where = (i) => `line ${text.slice(0, i).split('\n').length}`;
  const treeStart = /\s*\(\s*;/y; // \s takes a byte order mark too
  if (!treeStart.test(text)) {
    return { error: 'This is not an SGF file: it should begin with "(;".' };
  }
  let i = text.indexOf('(');
  let depth = 0;
  let onMain = true;
  let node = null; // the node whose properties are being read; null between nodes
  while (i < text.length) {
    const ch = text[i];
    if (/\s/.test(ch)) {
      ++i;
    } else if (ch === '(') {
      treeStart.lastIndex = i;
      if (!treeStart.test(text)) {
        return { error: `The SGF is not readable at ${where(i)}: a variation begins with "(;".` };
      }
      ++depth;
      node = null;
      ++i;
    } else if (ch === ')') {
      onMain = false;
      node = null;
      ++i;
      if (--depth === 0) return nodes; // what follows the first game is not read
    } else if (ch === ';') {
      node = {};
      if (onMain) nodes.push(node);
      ++i;
    } else if (/[A-Za-z]/.test(ch) && node) {
      const name = /[A-Za-z]+/y;
      name.lastIndex = i;
      // Old files may write lower-case letters inside names (AddBlack for AB); they do not count.
      const id = name.exec(text)[0].replace(/[a-z]/g, '');
      i = name.lastIndex;
      const values = [];
      for (;;) {
        while (i < text.length && /\s/.test(text[i])) ++i;
        if (text[i] !== '[') break;
        const start = i;
        let value = '';
        for (++i; i < text.length && text[i] !== ']'; ++i) {
          if (text[i] === '\\') ++i; // the next character is taken as it is
          if (i < text.length) value += text[i];
        }
        if (i >= text.length) {
          const missing = `a "]" is missing from ${where(start)}`;
          return { error: `The SGF ends inside a property value (${missing}).` };
        }
        ++i;
        values.push(value);
      }
      if (values.length === 0) {
        return { error: `The SGF is not readable at ${where(i)}: ${id} has no value.` };
      }
      node[id] = (node[id] || []).concat(values);
    } else {
      return { error: `The SGF is not readable at ${where(i)}: unexpected "${ch}".` };
    }
  }
  return { error: 'The SGF ends before the game does (a ")" is missing).' };
}

// Saved files --------------------------------------------------------------------------------

// The name a saved game gets: ormel-YYYY-MM-DD-HHMM.sgf in the caller's local time.
export function gameFileName(date) {
  const two = (n) => String(n).padStart(2, '0');
  return (
    `ormel-${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())}-` +
    `${two(date.getHours())}${two(date.getMinutes())}.sgf`
  );
}
