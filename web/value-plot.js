// How the engine judges the game, for a person: its value after each of its moves in words,
// and a small plot of the values over the game, drawn in the page's own SVG.

import { BLACK, EMPTY } from './game.js';

const SVG = 'http://www.w3.org/2000/svg';
const DECIDED = 256; // beyond it a value stands for a forced win or loss found by the search
const EVEN = 4; // static scores this close count as an even game
export const WON = 1024; // a five on the board, as the engine values it

// The words for a value as the engine reports it (from its own side), said to the person. In
// the record of two other players the words name colours, from black's side (the engine's side
// is then white's).
export function describeValue(value, record = false) {
  if (value > DECIDED) return record ? 'White has a forced win.' : 'The engine has found a forced win.';
  if (value < -DECIDED) return record ? 'Black has a forced win.' : 'You have a forced win: the engine finds no defence.';
  const mine = -value;
  const signed = `${mine > 0 ? '+' : ''}${mine} for ${record ? 'black' : 'you'}`;
  if (Math.abs(mine) <= EVEN) return `Roughly even (${signed}).`;
  if (record) return `${mine > 0 ? 'Black' : 'White'} is ahead (${signed}).`;
  return mine > 0 ? `You are ahead (${signed}).` : `The engine is ahead (${signed}).`;
}

// The words for a decided game, and its value from the engine's side as the plot draws it.
export function describeResult(result, human, record = false) {
  if (result.winner === EMPTY) return { value: 0, words: 'The game is over: a draw, the board is full.' };
  const value = result.winner === human ? -WON : WON;
  if (record) return { value, words: `The game is over: ${result.winner === BLACK ? 'black' : 'white'} won.` };
  return { value, words: value < 0 ? 'The game is over: you won.' : 'The game is over: the engine won.' };
}

// What the search of one engine move was: its level, a drop, a stop at a limit.
export function describeSearch(point) {
  if (point.level === undefined) return 'The engine played without searching.';
  let text = `Searched at level ${point.level}`;
  if (point.dropped !== undefined) text += `, dropped to ${point.dropped} as time ran short`;
  if (point.stopped) text += `, stopped at its ${point.stopped} limit`;
  return `${text}.`;
}

// Up is good for the person. Values are squeezed so that an even game and a decided one both
// fit: a decided value sits at the edge.
function height(value) {
  const mine = -value;
  if (Math.abs(mine) > DECIDED) return Math.sign(mine);
  return mine / (Math.abs(mine) + 20);
}

function element(name, attributes) {
  const e = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) e.setAttribute(key, value);
  return e;
}

const [W, H, PAD] = [240, 80, 8];

// The axis and the trace through `xy` ([x, y] per point).
function frame(svg, xy) {
  svg.setAttribute('viewBox', `0 0 ${W} ${H}`);
  const parts = [element('line', { x1: 0, y1: H / 2, x2: W, y2: H / 2, class: 'axis' })];
  if (xy.length > 1) {
    parts.push(element('polyline', { points: xy.map(([x, y]) => `${x.toFixed(1)},${y.toFixed(1)}`).join(' '), class: 'trace' }));
  }
  return parts;
}

// Points shrink as a long game crowds them, so that 180 moves still read one by one.
const radius = (count) => Math.max(0.9, Math.min(2.5, ((W - 2 * PAD) / Math.max(1, count - 1)) * 0.4));

function dot(x, y, r, titleText) {
  const e = element('circle', { cx: x.toFixed(1), cy: y.toFixed(1), r: r.toFixed(2) });
  const title = element('title', {});
  title.textContent = titleText;
  e.append(title);
  return e;
}

// Redraws `svg` with one point per engine move: {move, value, level, dropped, stopped, result},
// where move is the move's number in the game; a point with `result` is the game's end.
export function drawPlot(svg, points) {
  svg.setAttribute('role', 'img'); // a picture of the values; after a review its points are controls
  const x = (i) => PAD + (points.length > 1 ? (i * (W - 2 * PAD)) / (points.length - 1) : (W - 2 * PAD) / 2);
  const y = (v) => H / 2 - height(v) * (H / 2 - PAD);
  const parts = frame(svg, points.map((p, i) => [x(i), y(p.value)]));
  const r = radius(points.length);
  points.forEach((p, i) => {
    const title = p.result ? `Move ${p.move}: ${p.result}` : `Move ${p.move}: ${describeValue(p.value)} ${describeSearch(p)}`;
    const e = dot(x(i), y(p.value), r, title);
    e.dataset.move = p.move;
    if (p.stopped) e.classList.add('stopped');
    if (p.result) e.classList.add('result');
    parts.push(e);
  });
  svg.replaceChildren(...parts);
}

// After a review: one point per move of the line, of both sides, `value` from the person's side
// (up is good for them). A mistake carries "?" above its point and a blunder "??", as on the
// board; the move shown has a line across the plot. A point is a focusable control: a click
// or Enter calls onPick(point).
export function drawReview(svg, points, onPick) {
  svg.setAttribute('role', 'group');
  const last = Math.max(1, points[points.length - 1]?.move ?? 1);
  const x = (move) => PAD + ((move - 1) * (W - 2 * PAD)) / Math.max(1, last - 1);
  const y = (v) => H / 2 - height(-v) * (H / 2 - PAD);
  const parts = frame(svg, points.map((p) => [x(p.move), y(p.value)]));
  const r = radius(last);
  const shown = points.find((p) => p.current);
  if (shown) parts.push(element('line', { x1: x(shown.move), y1: 0, x2: x(shown.move), y2: H, class: 'now' }));
  for (const p of points) {
    const e = dot(x(p.move), y(p.value), p.mark ? Math.max(r, 1.8) : r, p.title);
    e.dataset.move = p.move;
    if (p.mark) e.dataset.mistake = p.mark;
    if (p.current) e.classList.add('current');
    e.setAttribute('tabindex', '0');
    e.setAttribute('role', 'button');
    e.addEventListener('click', () => onPick(p));
    e.addEventListener('keydown', (ev) => {
      if (ev.key === 'Enter' || ev.key === ' ') {
        ev.preventDefault();
        onPick(p);
      }
    });
    parts.push(e);
    if (p.mark) {
      const glyph = element('text', { x: x(p.move).toFixed(1), y: (y(p.value) + (p.value >= 0 ? 9 : -4)).toFixed(1), class: 'glyph' });
      glyph.dataset.mistake = p.mark;
      glyph.textContent = p.mark === 'blunder' ? '??' : '?';
      parts.push(glyph);
    }
  }
  svg.replaceChildren(...parts);
}
