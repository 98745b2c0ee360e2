// How the engine judges the game, for a person: its value after each of its moves in words,
// and a small plot of the values over the game, drawn in the page's own SVG.

const SVG = 'http://www.w3.org/2000/svg';
const DECIDED = 256; // beyond it a value stands for a forced win or loss found by the search
const EVEN = 4; // static scores this close count as an even game

// The words for a value as the engine reports it (from its own side), said to the person.
export function describeValue(value) {
  if (value > DECIDED) return 'The engine has found a forced win.';
  if (value < -DECIDED) return 'You have a forced win: the engine finds no defence.';
  const mine = -value;
  const signed = `${mine > 0 ? '+' : ''}${mine}`;
  if (Math.abs(mine) <= EVEN) return `Roughly even (${signed} for you).`;
  return mine > 0 ? `You are ahead (${signed} for you).` : `The engine is ahead (${signed} for you).`;
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

// Redraws `svg` with one point per engine move: {move, value, level, dropped, stopped}, where
// move is the move's number in the game.
export function drawPlot(svg, points) {
  const [w, h, pad] = [240, 80, 6];
  svg.setAttribute('viewBox', `0 0 ${w} ${h}`);
  const x = (i) => pad + (points.length > 1 ? (i * (w - 2 * pad)) / (points.length - 1) : (w - 2 * pad) / 2);
  const y = (v) => h / 2 - height(v) * (h / 2 - pad);
  const parts = [element('line', { x1: 0, y1: h / 2, x2: w, y2: h / 2, class: 'axis' })];
  if (points.length > 1) {
    const line = points.map((p, i) => `${x(i).toFixed(1)},${y(p.value).toFixed(1)}`).join(' ');
    parts.push(element('polyline', { points: line, class: 'trace' }));
  }
  points.forEach((p, i) => {
    const dot = element('circle', { cx: x(i).toFixed(1), cy: y(p.value).toFixed(1), r: 2.5 });
    dot.dataset.move = p.move;
    if (p.stopped) dot.classList.add('stopped');
    const title = element('title', {});
    title.textContent = `Move ${p.move}: ${describeValue(p.value)} ${describeSearch(p)}`;
    dot.append(title);
    parts.push(dot);
  });
  svg.replaceChildren(...parts);
}

// After a review: one point per move of the line, of both sides, `value` from the person's side
// (up is good for them), mistakes in colour and named in the point's title. A point is a
// focusable control: a click or Enter calls onPick(point).
export function drawReview(svg, points, onPick) {
  const [w, h, pad] = [240, 80, 6];
  svg.setAttribute('viewBox', `0 0 ${w} ${h}`);
  const last = Math.max(1, points[points.length - 1]?.move ?? 1);
  const x = (move) => pad + ((move - 1) * (w - 2 * pad)) / Math.max(1, last - 1);
  const y = (v) => h / 2 - height(-v) * (h / 2 - pad);
  const parts = [element('line', { x1: 0, y1: h / 2, x2: w, y2: h / 2, class: 'axis' })];
  if (points.length > 1) {
    const line = points.map((p) => `${x(p.move).toFixed(1)},${y(p.value).toFixed(1)}`).join(' ');
    parts.push(element('polyline', { points: line, class: 'trace' }));
  }
  for (const p of points) {
    const dot = element('circle', { cx: x(p.move).toFixed(1), cy: y(p.value).toFixed(1), r: p.mark ? 3.5 : 2.5 });
    dot.dataset.move = p.move;
    if (p.mark) dot.dataset.mistake = p.mark;
    if (p.current) dot.classList.add('current');
    dot.setAttribute('tabindex', '0');
    dot.setAttribute('role', 'button');
    const title = element('title', {});
    title.textContent = p.title;
    dot.append(title);
    dot.addEventListener('click', () => onPick(p));
    dot.addEventListener('keydown', (e) => {
      if (e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        onPick(p);
      }
    });
    parts.push(dot);
  }
  svg.replaceChildren(...parts);
}
