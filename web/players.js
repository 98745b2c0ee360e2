// Records of games between two other players: who they were and how the game ended, in words.
// A file that names its players (SGF's PB and PW, the names at the end of a .psq) holds such a
// record; the page opens it for study, and the engine takes no side in it until the person
// plays from a position.

import { BLACK, EMPTY } from './game.js';

// The players the root's properties name and the result they give: {black, white, re}, or null
// for a file that names no player (the page's own games, a position set up by hand).
export function recordOf(data) {
  const text = (id) => data[id]?.[0]?.trim() ?? '';
  const black = text('PB');
  const white = text('PW');
  return black || white ? { black, white, re: text('RE') } : null;
}

const colour = (player) => (player === BLACK ? 'black' : 'white');
const HOW = { R: ' by resignation', T: ' on time', F: ' by forfeit' };

// How a game ended: by the five or full board on it, else as its RE says (B+R, W+T, 0, ...).
export function resultWords(result, re = '') {
  if (result) return result.winner === EMPTY ? 'a draw, the board is full' : `${colour(result.winner)} won by five`;
  const won = /^\s*([BW])\s*\+\s*(\S?)/i.exec(re);
  if (won) return `${won[1].toUpperCase() === 'B' ? 'black' : 'white'} won${HOW[won[2].toUpperCase()] ?? ''}`;
  if (/^\s*(0|draw|jigo)\s*$/i.test(re)) return 'a draw';
  return 'no result recorded';
}

export function playersText(record) {
  if (!record) return 'no players named';
  return `${record.black || 'unnamed'} (black) – ${record.white || 'unnamed'} (white)`;
}

// "alpha (black) – beta (white): black won by five, 52 moves".
export function recordHeading(record, result, moves) {
  return `${playersText(record)}: ${resultWords(result, record?.re)}, ${moves} move${moves === 1 ? '' : 's'}`;
}
