// A game judged move by move, from the engine's value of every position along it: what each
// move cost its side, and which moves threw away a decided result or cost too much. Pure
// functions; the page runs the searches (the engine's own root search at each position) and
// keeps the results in the game tree as SGF's V, BM and C.

import { BLACK } from './game.js';
import { moveOf, setProperties } from './tree.js';

export const DECIDED = 256; // beyond it a value stands for a forced win or loss found by the search

// A move that costs more than this is a mistake: more than the engine's own moves cost, as a
// rule, when reviewed at the level they were played at (the search sees a little deeper one
// move later). In self-play, of its moves with undecided values, none cost more at level 2,
// under 1 % at level 1 and 5 % at level 3.
export const MISTAKE_COST = 16;

const decided = (value) => (value > DECIDED ? 1 : value < -DECIDED ? -1 : 0);

// The move from a position valued `before` (for the side that moved) to one valued `after`
// (for the opponent, who is to move there): {before, after, cost, mark}, with `before` and
// `after` both from the mover's side, mark 'blunder', 'mistake' or null, and cost null where
// none is judged. The engine's own answer costs nothing by definition: where a search one move
// later reads the position otherwise, it is the engine that wavers, not the move. Between two
// decided values of the same sign a value tells how far off the end is, not how good the move
// was: a lost position that stays lost is no blunder, and a won one that stays won costs nothing.
export function judgeMove(before, afterForOpponent, enginesOwn = false) {
  if (enginesOwn) return { before, after: before, cost: 0, mark: null };
  const after = -afterForOpponent;
  if (decided(before) !== 0 && decided(before) === decided(after)) return { before, after, cost: null, mark: null };
  const cost = before - after;
  let mark = null;
  const threwWin = before > DECIDED && after <= DECIDED;
  const fellIntoLoss = before >= -DECIDED && after < -DECIDED;
  if (threwWin || fellIntoLoss) mark = 'blunder';
  else if (cost > MISTAKE_COST && decided(before) === 0 && decided(after) === 0) mark = 'mistake';
  return { before, after, cost, mark };
}

function signed(value) {
  if (value > DECIDED) return 'a forced win';
  if (value < -DECIDED) return 'a forced loss';
  return value > 0 ? `+${value}` : String(value);
}

// The engine's words stand as the comment's last paragraph, after whatever the file said.
const ENGINE_WORDS = /^(A blunder: |A mistake: )?The engine would have played /;

function paragraphs(comment) {
  const parts = (comment ?? '').split('\n\n');
  const last = parts[parts.length - 1];
  return ENGINE_WORDS.test(last) ? { own: parts.slice(0, -1).join('\n\n'), engine: last } : { own: comment ?? '', engine: '' };
}

// What a review wrote into a comment, or '' when it holds none.
export function engineWords(comment) {
  return paragraphs(comment).engine;
}

// The SGF properties a judged move carries: V, the value of the position after it from black's
// side (SGF's convention: positive is good for black); BM[1] for a mistake, BM[2] for a
// blunder; and a comment: the one it had (`earlier`, without an earlier review's words), then
// the engine's words. `engineAt` names the engine's own choice in the position before the move,
// in the page's notation.
export function reviewProperties(judgement, moverIsBlack, engineAt, playedAt, earlier = '') {
  const { before, after, cost, mark } = judgement;
  const forBlack = moverIsBlack ? after : -after;
  const what = mark === 'blunder' ? 'A blunder: ' : mark === 'mistake' ? 'A mistake: ' : '';
  const words = engineAt === playedAt ? `The engine would have played ${engineAt} too (${signed(before)}).`
    : `The engine would have played ${engineAt} (${signed(before)}); ${playedAt} leaves ${signed(after)}` +
      (cost > 0 ? `, a cost of ${cost}.` : '.');
  const own = paragraphs(earlier).own;
  return {
    V: [String(forBlack)],
    BM: mark ? [mark === 'blunder' ? '2' : '1'] : [],
    C: [own ? `${own}\n\n${what}${words}` : what + words],
  };
}

const samePoint = (a, b) => Boolean(a && b && a[0] === b[0] && a[1] === b[1]);

// Judges the move of node `id` by the engine's answers ({at, value} for the side to move) in
// the positions before and after it, and writes the judgement into the tree, which it returns.
// `name` writes a point in the page's notation.
export function judgeNode(tree, id, answerBefore, answerAfter, name) {
  const node = tree.get(id);
  const move = node && moveOf(node);
  if (!move || !answerBefore || !answerAfter) return tree;
  const judgement = judgeMove(answerBefore.value, answerAfter.value, samePoint(answerBefore.at, move.at));
  const engineAt = answerBefore.at ? name(answerBefore.at) : 'nothing';
  return setProperties(tree, id,
    reviewProperties(judgement, move.player === BLACK, engineAt, name(move.at), node.data.C?.[0]));
}
