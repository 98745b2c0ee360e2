// Game records under node (readers.test.mjs reads random games back through every format): the
// letter and SGF coordinates at the corners, the result an SGF file gives, and what each reader
// says about bad input.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Game, WHITE } from '../../web/game.js';
import { formatLetters, gameFileName, parseLetters, parseMoves, toSgfPoint } from '../../web/records.js';
import { mainLineGame, readSgf, writeSgf } from '../../web/sgf.js';
import { treeFromGame } from '../../web/tree.js';
import { drawnGame } from './games.mjs';

const sgfGame = (text, rule) => {
  const read = readSgf(text, rule);
  return read.error ? read : { game: mainLineGame(read.tree) };
};
test('corners and centre in letters and SGF', () => {
  const cases = [
    [15, [7, 7], 'h8', 'hh'], [15, [14, 0], 'a1', 'ao'], [15, [0, 0], 'a15', 'aa'],
    [15, [0, 14], 'o15', 'oa'], [20, [0, 19], 't20', 'ta'], [20, [19, 19], 't1', 'tt'],
  ];
  for (const [size, move, letters, point] of cases) {
    assert.equal(formatLetters([move], size), letters);
    assert.deepEqual(parseLetters(letters.toUpperCase(), size, 1).game.moves, [move]);
    assert.equal(toSgfPoint(move), point);
    assert.deepEqual(sgfGame(`(;SZ[${size}];B[${point}])`, 1).game.moves, [move]);
  }
  assert.deepEqual(parseLetters(' H8, i9\n\tJ10 ,', 15, 1).game.moves, [[7, 7], [6, 8], [5, 9]]);
  const bare = sgfGame('(;;B[hh])', 0).game; // no SZ, no RU: 15 x 15 and the caller's rule
  assert.deepEqual([bare.size, bare.rule], [15, 0]);
  assert.equal(gameFileName(new Date(2024, 0, 5, 9, 7)), 'ormel-2024-01-05-0907.sgf');
});

test('SGF result: from the moves, or a forfeit given by the page', () => {
  const won = new Game(15, 1);
  [[7, 3], [0, 0], [7, 4], [0, 2], [7, 5], [0, 4], [7, 6], [0, 6], [7, 7]].forEach((m) => won.play(...m));
  assert.match(writeSgf(treeFromGame(won)), /RE\[B\+\]/);
  assert.match(writeSgf(treeFromGame(drawnGame(1))), /RE\[0\]/);
  assert.match(writeSgf(treeFromGame(won.replay(8)), { winner: WHITE, line: [] }), /RE\[W\+F\]/);
  assert.doesNotMatch(writeSgf(treeFromGame(won.replay(8))), /RE\[/);
});

const NOT_A_MOVE = 'is not a column letter followed by a row number, like h8.';
const NO_END = 'The SGF ends before the game does (a ")" is missing).';
const FIVE_THEN = '(;B[dh];W[aa];B[eh];W[ba];B[fh];W[ca];B[gh];W[da];B[hh];W[ea])';

test('bad input is refused with the move and the reason', () => {
  const cases = [
    [parseMoves, '7,7 -1,3', 'Move 2 (-1,3) is off a 15 × 15 board.'],
    [parseMoves, 'seven, seven', 'No row,col pairs found.'],
    [parseLetters, 'h8 p1', 'Move 2 (p1) is off a 15 × 15 board.'],
    [parseLetters, 'h8i9H8', 'Move 3 (H8) is taken already.'],
    [parseLetters, 'h8;i9', `Move 2 is not readable: ";i9" ${NOT_A_MOVE}`],
    [sgfGame, 'h8i9', 'This is not an SGF file: it should begin with "(;".'],
    [sgfGame, '(;GM[1]SZ[19];B[aa])', 'This SGF file is for another game (GM[1]); Gomoku is GM[4].'],
    [sgfGame, '(;SZ[15:16])', 'The board in this file is not square (SZ[15:16]).'],
    [sgfGame, '(;SZ[21])', 'The board in this file is 21 × 21; boards here are 15 to 20.'],
    [sgfGame, '(;RU[renju])',
      'The file\'s rule RU[renju] is not one played here: "exactly five" or "five or more".'],
    [sgfGame, '(;;B[hh];W[ii]AB[aa])',
      'The file sets stones up with AB[] after the game began; only its first node may.'],
    [sgfGame, '(;AB[aa][bb])', 'The file\'s set-up position is refused: With white to move, '
      + 'black needs one stone more than white (black has 2, white 0).'],
    [sgfGame, '(;;W[hh])', 'Move 1 (W[hh]) is White\'s, but Black moves first.'],
    [sgfGame, '(;;B[hh];W[ii];W[jj])', 'Move 3 (W[jj]) is White\'s again; the colours alternate.'],
    [sgfGame, '(;;B[hh](;W[ii])(;B[jj]))', 'Move 2 (B[jj]) is Black\'s again; the colours alternate.'],
    [sgfGame, '(;;B[hh];W[tt])', 'Move 2 (W[tt]) is a pass; a game here has no passes.'],
    [sgfGame, '(;;B[h8])', 'Move 1 (B[h8]) is not readable: a point is two letters, column then row.'],
    [sgfGame, '(;B[hh]\nC[no end\\]\n)', 'The SGF ends inside a property value (a "]" is missing from line 2).'],
    [sgfGame, '(;B[hh]\n;W[ii]', NO_END],
    [sgfGame, '(;B[hh] % ;W[ii])', 'The SGF is not readable at line 1: unexpected "%".'],
    [sgfGame, FIVE_THEN, 'Move 10 (W[ea]) comes after the game ended.'],
    [sgfGame, `(;${'(;'.repeat(1e5)}${')'.repeat(1e5)})`, 'The SGF nests its variations too deeply to read.'],
    [sgfGame, `(;${';'.repeat(5000)})`, 'A line of this SGF runs past 1000 nodes, longer than any game here.'],
  ];
  for (const [read, text, error] of cases) {
    assert.deepEqual(read(text, read === sgfGame ? 1 : 15, 1), { error }, text.slice(0, 40));
  }
});
