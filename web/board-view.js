// The board as the page draws it: the grid of points with its labels, the stones with their
// numbers and marks (the last move, the winning five, the review's badges), the hint, and the
// keyboard's cursor. It draws what it is given; the analysis marks its points itself (study.js).

import { BLACK, EMPTY, starPoints } from './game.js';
import { letterPoint } from './records.js';

export class BoardView {
  constructor(el) {
    this.el = el;
    this.built = ''; // the size and notation the points were built for
    this.cursor = null; // [row, col] of the keyboard's point
  }

  point([r, c]) {
    return this.el.querySelector(`.pt[data-row="${r}"][data-col="${c}"]`);
  }

  // Labels follow the notation chosen: with letters, columns a, b, ... from the left and rows
  // 1, 2, ... from the bottom, as opening books draw the board, so that h8 is where it says.
  // Each line of the board is a row of the grid, its label the row's header; the rows take no
  // box of their own, so the points lay out as one grid.
  #build(size, letters) {
    this.el.style.setProperty('--n', size);
    const stars = new Set(starPoints(size).map(([r, c]) => `${r},${c}`));
    const corner = label('', 'columnheader');
    corner.setAttribute('aria-label', 'rows and columns');
    const header = [corner];
    for (let c = 0; c < size; ++c) header.push(label(letters ? String.fromCharCode(97 + c) : c, 'columnheader'));
    const rows = [row(header)];
    for (let r = 0; r < size; ++r) {
      const cells = [label(letters ? size - r : r, 'rowheader')];
      for (let c = 0; c < size; ++c) {
        const pt = document.createElement('div');
        pt.className = 'pt';
        if (r === 0) pt.classList.add('top');
        if (r === size - 1) pt.classList.add('bottom');
        if (c === 0) pt.classList.add('left');
        if (c === size - 1) pt.classList.add('right');
        if (stars.has(`${r},${c}`)) pt.classList.add('star');
        pt.dataset.row = r;
        pt.dataset.col = c;
        pt.setAttribute('role', 'gridcell');
        pt.dataset.name = letters ? letterPoint([r, c], size) : `row ${r}, column ${c}`;
        cells.push(pt);
      }
      rows.push(row(cells));
    }
    this.el.replaceChildren(...rows);
    this.cursor = null;
  }

  // Draws `view` (anything with size and at(r, c)): `last` the last move's point, `moves` a
  // Map from "r,c" to {number, mark} for the moves that led here, `numbers` whether to show
  // them, `winning` a Set of "r,c" of the five, `hint` a point or null.
  draw({ view, letters, last = null, moves = new Map(), numbers = false, winning = new Set(), hint = null }) {
    const built = `${view.size} ${letters}`;
    if (this.built !== built) {
      this.#build(view.size, letters);
      this.built = built;
    }
    for (const pt of this.el.querySelectorAll('.pt')) {
      const r = Number(pt.dataset.row);
      const c = Number(pt.dataset.col);
      const player = view.at(r, c);
      let stone = pt.querySelector('.stone');
      // The hint's mark is a child of its own, so that it stands above a candidate's label.
      const hinted = hint && hint[0] === r && hint[1] === c;
      if (hinted && pt.dataset.hint === undefined) {
        pt.dataset.hint = '';
        const mark = document.createElement('span');
        mark.className = 'hint-mark';
        pt.append(mark);
      } else if (!hinted && pt.dataset.hint !== undefined) {
        delete pt.dataset.hint;
        pt.querySelector('.hint-mark')?.remove();
      }
      const move = moves.get(`${r},${c}`);
      // What a screen reader says of the point: where, what stands there, and the hint.
      const says = [pt.dataset.name, player === EMPTY ? 'empty' : `${player === BLACK ? 'black' : 'white'} stone`];
      if (player !== EMPTY && move) says.push(`move ${move.number}`);
      if (move?.mark) says.push(move.mark === '2' ? 'a blunder' : 'a mistake');
      if (hinted) says.push('the hint');
      pt.dataset.says = says.join(', ');
      pt.setAttribute('aria-label', pt.dataset.says);
      if (player === EMPTY) {
        if (stone) stone.remove();
        continue;
      }
      if (!stone) {
        stone = document.createElement('span');
        pt.prepend(stone);
      }
      stone.className = 'stone';
      stone.dataset.player = player;
      if (last && last[0] === r && last[1] === c) stone.classList.add('last');
      if (winning.has(`${r},${c}`)) stone.classList.add('win');
      stone.setAttribute('aria-hidden', 'true'); // the point says it all
      stone.textContent = numbers && move ? move.number : '';
      if (move?.mark) stone.dataset.mistake = move.mark === '2' ? 'blunder' : 'mistake';
      else delete stone.dataset.mistake;
    }
  }

  // The arrow keys move the cursor (from the centre at first); the point under it, or null when
  // the key is not an arrow.
  moveCursor(key, size) {
    const steps = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] };
    const centre = (size - 1) >> 1;
    const [r, c] = this.cursor || [centre, centre];
    if (key === null) {
      this.cursor = [r, c];
    } else if (key in steps) {
      const [dr, dc] = steps[key];
      this.cursor = [Math.min(size - 1, Math.max(0, r + dr)), Math.min(size - 1, Math.max(0, c + dc))];
    } else return null;
    for (const pt of this.el.querySelectorAll('.cursor')) pt.classList.remove('cursor');
    const pt = this.point(this.cursor);
    pt.classList.add('cursor');
    return pt;
  }
}

function label(n, role) {
  const span = document.createElement('span');
  span.className = 'label';
  span.setAttribute('role', role);
  span.textContent = n;
  return span;
}

function row(cells) {
  const div = document.createElement('div');
  div.className = 'row';
  div.setAttribute('role', 'row');
  div.append(...cells);
  return div;
}
