// A game judged move by move, from the engine's value of every position along it: what each
// move cost its side, and which moves threw away a decided result or cost too much. Pure
// functions; the page runs the searches (the engine's own root search at each position) and
// keeps the results in the game tree as SGF's V, BM and C.

export const DECIDED = 256; // beyond it a value stands for a forced win or loss found by the search

// A move that costs more than this is a mistake: more than the engine's own moves cost, as a
// rule, when reviewed at the level they were played at (the search sees a little deeper one
// move later). In self-play, of its moves with undecided values, none cost more at level 2,
// under 1 % at level 1 and 5 % at level 3.
export const MISTAKE_COST = 16;

// The move from a position valued `before` (for the side that moved) to one valued `after`
// (for the opponent, who is to move there): {before, after, cost, mark}, with `before` and
// `after` both from the mover's side and mark 'blunder', 'mistake' or null.
export function judgeMove(before, afterForOpponent) {
  const after = -afterForOpponent;
  const cost = before - after;
  let mark = null;
  const threwWin = before > DECIDED && after <= DECIDED;
  const fellIntoLoss = before >= -DECIDED && after < -DECIDED;
  if (threwWin || fellIntoLoss) mark = 'blunder';
  // Within a decided result a value tells how far off the end is, not how good the move was.
  else if (cost > MISTAKE_COST && Math.abs(before) <= DECIDED && Math.abs(after) <= DECIDED) mark = 'mistake';
  return { before, after, cost, mark };
}

function signed(value) {
  if (value > DECIDED) return 'a forced win';
  if (value < -DECIDED) return 'a forced loss';
  return value > 0 ? `+${value}` : String(value);
}

// The SGF properties a judged move carries: V, the value of the position after it from black's
// side (SGF's convention: positive is good for black); BM[1] for a mistake, BM[2] for a
// blunder; and a comment in words. `engineAt` names the engine's own choice in the position
// before the move, in the page's notation.
export function reviewProperties(judgement, moverIsBlack, engineAt, playedAt) {
  const { before, after, cost, mark } = judgement;
  const forBlack = moverIsBlack ? after : -after;
  const what = mark === 'blunder' ? 'A blunder: ' : mark === 'mistake' ? 'A mistake: ' : '';
  const same = engineAt === playedAt;
  const choice = same ? `The engine would have played ${engineAt} too (${signed(before)}).`
    : `The engine would have played ${engineAt} (${signed(before)}); ${playedAt} leaves ${signed(after)}` +
      (cost > 0 ? `, a cost of ${cost}.` : '.');
  return {
    V: [String(forBlack)],
    BM: mark ? [mark === 'blunder' ? '2' : '1'] : [],
    C: [what + choice],
  };
}
