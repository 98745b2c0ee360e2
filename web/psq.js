// .psq files, one game each, as tournament tools keep them and publish them:
//
//   Piskvorky 20x20, 11:11, 0     the board's width and height; the players' levels and a flag
//   10,10,0                       a move a line: x,y,time
//   11,10,1250
//   alpha.exe                     perhaps the players' names, black's first
//   beta.exe
//   -1                            and a closing number
//
// x counts to the right and y downwards from the top-left corner, both from 1, in the order a
// manager sends them; the time is in milliseconds. So x,y is the page's point [y - 1, x - 1]:
// a record is drawn here as those tools draw it, and as its SGF points [xy] are. The file says
// nothing of the rule. A move's time is kept in the tree as MT[ms], which a .psq written here
// gives back.

import { Game } from './game.js';
import { playOrExplain, replayAtEitherRule } from './records.js';
import { moveOf, startOf, treeFromGame } from './tree.js';

const HEADER = /^\s*Piskvorky\s+(\d+)\s*x\s*(\d+)(?![\dx])/i;
const MOVE = /^(-?\d+)\s*,\s*(-?\d+)\s*(?:,\s*(-?\d+))?$/;
const NUMBER = /^-?\d+$/;
const MAX_TEXT = 1 << 20; // a game of 400 moves is some 5 KB

// Whether a text is a .psq game (as far as its first line tells).
export const isPsq = (text) => HEADER.test(text.slice(0, 200));

// Reads a .psq game into a tree with one line: {tree, note} or {error}. The rule is the
// settings', or the other where only that one replays the moves.
export function readPsq(text, settingsRule) {
  if (text.length > MAX_TEXT) return { error: 'The file is too large for a game record.' };
  const lines = text.split(/\r\n|\r|\n/);
  const header = HEADER.exec(lines[0]);
  if (!header) return { error: 'This is not a .psq game: its first line should read like "Piskvorky 20x20, 11:11, 0".' };
  const [width, height] = [Number(header[1]), Number(header[2])];
  if (width !== height) return { error: `The board in this file is ${width} × ${height}; boards here are square.` };
  if (width < 15 || width > 20) return { error: `The board in this file is ${width} × ${width}; boards here are 15 to 20.` };

  // Moves, then up to two names, then numbers; blank lines anywhere.
  const moves = [];
  const names = [];
  let part = 0;
  for (let i = 1; i < lines.length; ++i) {
    const line = lines[i].trim();
    if (line === '') continue;
    const move = MOVE.exec(line);
    const kind = move ? 0 : NUMBER.test(line) ? 2 : 1;
    const what = `Line ${i + 1} ("${line.length > 24 ? `${line.slice(0, 24)}…` : line}")`;
    if (kind < part) return { error: `${what} is out of place: a .psq holds its moves first, then the players' names, then a number.` };
    if (kind === 1 && names.length === 2) return { error: `${what} is not a move (x,y,time), a player's name or a number.` };
    part = kind;
    if (move) moves.push({ x: Number(move[1]), y: Number(move[2]), time: move[3], line: i + 1 });
    else if (kind === 1) names.push(line);
  }

  const replay = (rule) => {
    const game = new Game(width, rule);
    for (const { x, y, line } of moves) {
      const error = playOrExplain(game, y - 1, x - 1, `Line ${line} (${x},${y})`);
      if (error) return { error };
    }
    return { game };
  };
  const read = replayAtEitherRule(settingsRule, 'A .psq file does not give its rule', replay);
  if (read.error) return { error: read.error };
  const tree = treeFromGame(read.game).mutate((draft) => {
    if (names[0]) draft.updateProperty(0, 'PB', [names[0]]);
    if (names[1]) draft.updateProperty(0, 'PW', [names[1]]);
    moves.forEach(({ time }, i) => time !== undefined && draft.updateProperty(i + 1, 'MT', [String(Math.max(0, Number(time)))]));
  });
  return { tree, note: read.note };
}

// The moves of `line` (nodes of `tree` from its root) as a .psq file: {text, moves} or {error}.
// `names` are black's and white's. A move's time is its MT, else `timeOf(node)` (the engine's
// search), else 0. Written with CR LF, as the tools that read it write it.
export function writePsq(tree, line, names, timeOf = () => 0) {
  const start = startOf(tree);
  if (start.setup) {
    return { error: 'A .psq file holds a game from the empty board, and this one starts from a set-up position: save it as SGF.' };
  }
  const rows = [`Piskvorky ${start.size}x${start.size}, 11:11, 0`];
  for (const node of line) {
    const move = moveOf(node);
    if (move) rows.push(`${move.at[1] + 1},${move.at[0] + 1},${Math.round(Number(node.data.MT?.[0]) || timeOf(node) || 0)}`);
  }
  const moves = rows.length - 1;
  rows.push(...names.map((name) => name.replace(/\s+/g, ' ').trim() || 'unnamed'), '-1');
  return { text: `${rows.join('\r\n')}\r\n`, moves };
}
