// Game records under node (readers.test.mjs reads random games back through every format): the
// letter and SGF coordinates at the corners, the result an SGF file gives, files as tournament
// tools write them (a match in one SGF, a .psq game), and what each reader says about bad input.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Game, WHITE } from '../../web/game.js';
import { formatLetters, gameFileName, parseLetters, parseMoves, toSgfPoint } from '../../web/records.js';
import { mainLineGame, readSgf, readSgfGames, writeSgf } from '../../web/sgf.js';
import { readPsq, writePsq } from '../../web/psq.js';
import { recordOf, recordHeading } from '../../web/players.js';
import { lineThrough, treeFromGame } from '../../web/tree.js';
import { drawnGame } from './games.mjs';

const gameOf = (read) => (read.error ? read : { game: mainLineGame(read.tree) });
const sgfGame = (text, rule = 1) => gameOf(readSgf(text, rule));
const psqGame = (text) => gameOf(readPsq(text, 1));
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

const NOT_HERE = 'is not played here: only five or more (RU[0]) and exactly five (RU[1]) are.';
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
    [sgfGame, '(;RU[4])', `renju (RU[4]) ${NOT_HERE}`],
    [sgfGame, '(;RU[ Renju ])', `renju (RU[Renju]) ${NOT_HERE}`],
    [sgfGame, '(;RU[17])', `The rule (RU[17]) ${NOT_HERE}`],
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
    [psqGame, 'Piskvorky 20x15, 11:11, 0\n', 'The board in this file is 20 × 15; boards here are square.'],
    [psqGame, 'Piskvorky 21x21, 11:11, 0\n', 'The board in this file is 21 × 21; boards here are 15 to 20.'],
    [psqGame, 'Piskvorky 15x15, 11:11, 0\n8,8,0\n16,1,0\n', 'Line 3 (16,1) is off a 15 × 15 board.'],
    [psqGame, 'Piskvorky 15x15, 11:11, 0\n8,8,0\n8,8,0\n', 'Line 3 (8,8) is taken already.'],
    [psqGame, 'Piskvorky 15x15, 11:11, 0\n8,8,0\nalpha\n9,9,0\n',
      'Line 4 ("9,9,0") is out of place: a .psq holds its moves first, then the players\' names, then a number.'],
    [psqGame, 'Piskvorky 15x15, 11:11, 0\n8,8,0\nalpha\nbeta\ngamma\n',
      'Line 5 ("gamma") is not a move (x,y,time), a player\'s name or a number.'],
  ];
  for (const [read, text, error] of cases) assert.deepEqual(read(text, 15, 1), { error }, text.slice(0, 40));
});

// A match as a manager writes it: every game in one file, the rule as the protocol's number.
const MATCH = `(;GM[4]FF[4]SZ[20]RU[0]PB[alpha]PW[beta]RE[B+]DT[2026-11-02]
;B[jj];W[aa];B[kj];W[ba];B[lj];W[ca];B[mj];W[da];B[nj])
(;GM[4]FF[4]SZ[20]RU[0]PB[beta]PW[alpha]RE[W+T]DT[2026-11-02];B[jj];W[kk])
(;GM[4]FF[4]SZ[20]RU[4]PB[alpha]PW[beta];B[jj])`;

test('a match in one SGF file: each game with its players, result and date; renju refused alone', () => {
  const { games } = readSgfGames(MATCH, 1);
  assert.deepEqual(games.map((g) => g.info), [
    { record: { black: 'alpha', white: 'beta', re: 'B+' }, date: '2026-11-02', moves: 9 },
    { record: { black: 'beta', white: 'alpha', re: 'W+T' }, date: '2026-11-02', moves: 2 },
    { record: { black: 'alpha', white: 'beta', re: '' }, date: '', moves: 1 },
  ]);
  const [first, second] = games.map((g) => g.tree && mainLineGame(g.tree));
  assert.deepEqual([first.rule, first.moves[0], first.result.winner, second.result], [0, [9, 9], 1, null]);
  assert.match(games[2].error, /^renju \(RU\[4\]\)/);
  assert.equal(recordHeading(recordOf(games[0].tree.root.data), first.result, 9), 'alpha (black) – beta (white): black won by five, 9 moves');
  assert.equal(recordHeading(recordOf(games[1].tree.root.data), null, 2), 'beta (black) – alpha (white): white won on time, 2 moves');
  assert.equal(readSgfGames(`${MATCH.slice(0, 120)}\n(;B[aa]`, 1).error, 'The SGF ends before game 2 does (a ")" is missing).');
});

// The same game as a tournament tool writes it in both formats: x to the right, y down.
const PSQ = 'Piskvorky 20x20, 11:11, 0\r\n10,10,0\r\n3,1,1250\r\n11,10,15\r\nalpha.exe\r\nbeta.exe\r\n-1\r\n';
const SAME_IN_SGF = '(;SZ[20];B[jj];W[ca];B[kj])';

test('.psq: read as the tools write it, drawn as its SGF is, and written back the same', () => {
  const { tree, note } = readPsq(PSQ, 0);
  assert.deepEqual(mainLineGame(tree).moves, sgfGame(SAME_IN_SGF).game.moves);
  assert.deepEqual(mainLineGame(tree).moves, [[9, 9], [0, 2], [9, 10]]);
  assert.equal(note, 'A .psq file does not give its rule: it is opened at five or more, as the settings say.');
  assert.deepEqual(recordOf(tree.root.data), { black: 'alpha.exe', white: 'beta.exe', re: '' });
  const written = writePsq(tree, lineThrough(tree, tree.root.id, {}), ['alpha.exe', 'beta.exe']);
  assert.deepEqual(written, { text: PSQ, moves: 3 });
  // A game of five or more that went on past an overline replays only at exactly five.
  const overline = [[1, 1], [15, 15], [2, 1], [13, 15], [3, 1], [11, 15], [5, 1], [15, 13], [6, 1], [15, 11], [4, 1], [9, 9]];
  const text = `Piskvorky 15x15, 11:11, 0\n${overline.map(([x, y]) => `${x},${y},0`).join('\n')}\n`;
  const read = readPsq(text, 0);
  assert.equal(mainLineGame(read.tree).rule, 1);
  assert.match(read.note, /do not replay at five or more \(Line 13 \(9,9\) comes after the game ended\): it is opened at exactly five\.$/);
  assert.match(writePsq(readSgf('(;AB[aa]AW[bb];B[cc])', 1).tree, [], []).error, /set-up position/);
});
