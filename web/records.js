// Records and their formats: the page's own "row,col" list. Pure functions: text in, a Game
// or an error out.

import { Game } from './game.js';

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
