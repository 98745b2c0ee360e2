// The notations of moves: the page's own "row,col" list, the letter-number notation of opening
// books (h8i9j10), and SGF's points (sgf.js reads and writes whole files). Pure functions: text
// in, a Game or an error out.

import { Game, RULE_NAMES } from './game.js';

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
    // "-0" is the point 0, not a negative zero kept in the game (JSON and text write it 0).
    const row = Number(match[1]) || 0;
    const col = Number(match[2]) || 0;
    const error = playOrExplain(game, row, col, `Move ${i + 1} (${row},${col})`);
    if (error) return { error };
  }
  if (pairs.length === 0 && text.trim() !== '') return { error: 'No row,col pairs found.' };
  return { game };
}

// Plays one stone, or says why it cannot be played; `what` names the move in the message.
export function playOrExplain(game, row, col, what) {
  if (game.result) return `${what} comes after the game ended.`;
  if (!game.onBoard(row, col)) return `${what} is off a ${game.size} × ${game.size} board.`;
  if (!game.play(row, col)) return `${what} is taken already.`;
  return null;
}

// A record that does not give its rule (or gives one the page does not know, as `why` says) is
// replayed at the rule of the settings, or at the other rule where only that one replays its
// moves (a game of five or more that went on past an overline, say). `replay(rule)` gives what
// was read, or {error}; the result carries a `note` saying which rule was taken and why.
export function replayAtEitherRule(settingsRule, why, replay) {
  const first = replay(settingsRule);
  if (!first.error) return { ...first, note: `${why}: it is opened at ${RULE_NAMES[settingsRule]}, as the settings say.` };
  const second = replay(1 - settingsRule);
  if (second.error) return first;
  const failure = first.error.replace(/\.$/, '');
  return {
    ...second,
    note: `${why}, and its moves do not replay at ${RULE_NAMES[settingsRule]} (${failure}): it is opened at ` +
      `${RULE_NAMES[1 - settingsRule]}.`,
  };
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

// SGF points ----------------------------------------------------------------------------------
// Two lower-case letters, column then row, `a` = 0 from the top-left (the page's own rows,
// unlike the books' numbers); A..Z stand for 26..51, off every board here.

export function toSgfPoint([row, col]) {
  return String.fromCharCode(A + col, A + row);
}

function sgfCoordinate(letter) {
  return letter >= 'a' ? letter.charCodeAt(0) - A : letter.charCodeAt(0) - 'A'.charCodeAt(0) + 26;
}

// [row, col] of a point (white space around it is allowed), or null when it is not two letters.
export function fromSgfPoint(text) {
  const point = text.trim();
  if (!/^[a-zA-Z]{2}$/.test(point)) return null;
  return [sgfCoordinate(point[1]), sgfCoordinate(point[0])];
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
