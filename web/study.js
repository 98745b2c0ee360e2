// An analysis drawn on the board, for a person studying a position: each candidate's value on
// its point (with its rank), the engine's own choice, and the line the engine expects after a
// candidate as numbered ghost stones. It only draws; app.js decides what to show.

import { BLACK, WHITE } from './game.js';

const DECIDED = 256; // beyond it a value stands for a forced win or loss found by the search

// The value as a point can show it: a signed number, or W and L for a forced win or loss.
export function shortValue(value) {
  if (value > DECIDED) return 'W';
  if (value < -DECIDED) return 'L';
  return value > 0 ? `+${value}` : String(value);
}

export function valueWords(value) {
  if (value > DECIDED) return 'a forced win';
  if (value < -DECIDED) return 'a forced loss';
  return `${value > 0 ? '+' : ''}${value}`;
}

const point = (board, [r, c]) => board.querySelector(`.pt[data-row="${r}"][data-col="${c}"]`);

// Marks every candidate's point: data-candidate (rank), data-value, data-level (the level the
// value comes from) and a small label; the engine's choice gets data-engine-move. Earlier marks
// are cleared first.
export function drawCandidates(board, ranked, engineAt) {
  for (const pt of board.querySelectorAll('.pt[data-candidate], .pt[data-engine-move]')) {
    if (pt.dataset.says) pt.setAttribute('aria-label', pt.dataset.says);
    delete pt.dataset.candidate;
    delete pt.dataset.value;
    delete pt.dataset.level;
    delete pt.dataset.engineMove;
    pt.removeAttribute('title');
    pt.querySelector('.cand')?.remove();
  }
  for (const c of ranked) {
    const pt = point(board, c.at);
    if (!pt) continue;
    pt.dataset.candidate = c.rank;
    pt.dataset.value = c.value;
    pt.dataset.level = c.level;
    const label = document.createElement('span');
    label.className = 'cand';
    label.dataset.sign = c.value > 0 ? '+' : c.value < 0 ? '-' : '0';
    label.textContent = shortValue(c.value);
    pt.append(label);
    pt.title = `Candidate ${c.rank}: ${valueWords(c.value)} for the side to move, at level ${c.level}`;
    pt.setAttribute('aria-label', `${pt.dataset.says}, candidate ${c.rank}: ${label.textContent}, ${valueWords(c.value)}`);
  }
  const engine = engineAt && point(board, engineAt);
  if (!engine) return;
  engine.dataset.engineMove = '';
  const own = ranked.find((c) => c.at[0] === engineAt[0] && c.at[1] === engineAt[1]);
  if (!own) return;
  engine.title += ', the engine\'s own choice';
  // The root search and a search of the move alone can read it differently; the point shows
  // what the note says, and the title what the search alone found.
  if (own.alone !== undefined && own.alone !== own.value) engine.title += `; searched alone, it reads ${valueWords(own.alone)}`;
}

// The line as ghost stones numbered 1, 2, ... on their points, colours alternating from
// `first`; null clears it.
export function drawLine(board, line, first) {
  for (const pt of board.querySelectorAll('.pt[data-line-ply]')) {
    delete pt.dataset.linePly;
    pt.querySelector('.ghost')?.remove();
  }
  (line || []).forEach((at, i) => {
    const pt = point(board, at);
    if (!pt || pt.querySelector('.stone')) return;
    pt.dataset.linePly = i + 1;
    const ghost = document.createElement('span');
    ghost.className = 'ghost';
    ghost.dataset.player = i % 2 === 0 ? first : first === BLACK ? WHITE : BLACK;
    ghost.textContent = i + 1;
    pt.append(ghost);
  });
}
