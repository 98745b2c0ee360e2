// What the page says in words, and where: the notes beside the board, the engine's log, and
// the names of players and points in the notation the person chose. Every module speaks
// through these, so that a note always lands in its own place.

import { BLACK } from './game.js';
import { letterPoint } from './records.js';

export const $ = (id) => document.getElementById(id);
const LOG_LINES = 200;

// A passing remark on the game in progress (a hint on its way, a taken point).
export function notice(text) {
  $('note').textContent = text;
}

// What the study tools say: the analysis, a review, a link, the editor.
export function studyNote(text, kind = '') {
  const note = $('analysis-note');
  note.textContent = text;
  note.className = `hint ${kind}`;
}

export function log(text, kind = '') {
  const list = $('log');
  const item = document.createElement('li');
  item.textContent = text;
  if (kind) item.className = kind;
  list.append(item);
  while (list.childElementCount > LOG_LINES) list.firstElementChild.remove();
  list.scrollTop = list.scrollHeight;
}

export function playerName(player) {
  return player === BLACK ? 'black' : 'white';
}

export function lettersChosen() {
  return $('notation').value === 'letters';
}

// A point in the notation chosen, on a board of `size`.
export function pointName(at, size) {
  return lettersChosen() ? letterPoint(at, size) : `${at[0]},${at[1]}`;
}
