// The readers of outside text (SGF and .psq files, share links, pasted move lists) on generated input:
// whatever the text, a reader refuses it in words or reads it, and what it read, like what the
// page wrote, reads back the same. Seeded, so a failure repeats; fast-check shrinks it first.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fc from 'fast-check';
import { BLACK, Game, WHITE, setUpGame } from '../../web/game.js';
import { formatLink, parseLink } from '../../web/link.js';
import { formatLetters, formatMoves, parseLetters, parseMoves } from '../../web/records.js';
import { mainLineGame, readSgf, writeSgf } from '../../web/sgf.js';
import { readPsq, writePsq } from '../../web/psq.js';
import { addMove, gameAt, lineThrough, setProperties, treeFromGame } from '../../web/tree.js';

const run = (property, numRuns) => fc.assert(property, { seed: 0x5eed, numRuns });
// Tokens of a reader's alphabet run together (past its first refusal), or any text at all.
const textOf = (...tokens) => fc.oneof({ weight: 3, arbitrary: fc.array(fc.oneof(...tokens)).map((t) => t.join('')) },
  fc.string({ unit: 'binary' }));
// Now and then a stray token somewhere in text that is otherwise well formed.
const withStray = (text, token) => fc.tuple(text, fc.oneof({ weight: 2, arbitrary: fc.constant([0, '']) },
  fc.tuple(fc.nat(), token))).map(([t, [at, stray]]) => t.slice(0, at % (t.length + 1)) + stray + t.slice(at % (t.length + 1)));
// What was read, or null for a refusal (which must say something).
function readOrRefused(read, what) {
  if (read === null || read[what]) return read?.[what] ?? null;
  assert.match(read.error, /\S/);
  return null;
}
const seen = (g) => [g.size, g.rule, g.setup, g.moves, g.result, g.toMove()];

// Positions: stones set up in turn (none: the empty board), then moves at random free points;
// frozen, as writing a record must leave the game alone.
const point = fc.tuple(fc.nat(19), fc.nat(19));
const frozen = (game) => { Object.freeze(game.moves).forEach(Object.freeze); return game; };
const play = (game, moves) => { moves.forEach(([r, c]) => game.play(r, c)); return frozen(game); };
const position = fc.record({
  size: fc.integer({ min: 15, max: 20 }),
  rule: fc.constantFrom(0, 1),
  setup: fc.array(point, { maxLength: 9 }),
  moves: fc.array(point, { maxLength: 300, size: 'max' }),
}).map(({ size, rule, setup, moves }) => {
  const on = setup.filter(([r, c]) => r < size && c < size);
  const set = setUpGame(size, rule, on.filter((_, i) => i % 2 === 0), on.filter((_, i) => i % 2), on.length % 2 ? WHITE : BLACK);
  return { game: play(set.game ?? new Game(size, rule), moves), moves }; // a five or a point twice: the empty board
});

// What matters of a tree: every node's properties with its variations, and the game at every end.
const shape = (node) => ({ data: node.data, children: node.children.map(shape) });
const ends = (tree) => [...tree.listNodes()].filter((n) => !n.children.length).map((n) => seen(gameAt(tree, n.id)));
function sameAfterWriting(tree, fallbackRule) {
  const back = readSgf(writeSgf(tree), fallbackRule);
  assert.equal(back.error, undefined);
  assert.deepEqual(shape(back.tree.root), shape(tree.root));
  assert.deepEqual(ends(back.tree), ends(tree));
}

// What comments hold, with what SGF escapes. Not CR: the page writes none, and a file's CR LF
// is read as LF.
const COMMENT = ['a', ' ', ']', '[', '\\', '\n', ';', ')', 'é', '五', '😀'];
const sgfPoint = fc.tuple(...[0, 1].map(() => fc.constantFrom(...'abcdefghijklmno'))).map(([c, r]) => c + r);
// Values as each property should hold them; stray tokens bring in the wrong ones.
const VALUES = {
  SZ: fc.constantFrom('15', '16', ' 17 ', '18', '19:19', '20'),
  RU: fc.constantFrom('exactly five', 'Five_or  more', 'freestyle', 'standard'),
  GM: fc.constant('4'),
  V: fc.integer({ min: -999, max: 999 }).map(String),
  BM: fc.constantFrom('1', '2'),
  C: fc.string({ unit: fc.constantFrom(...COMMENT, '\r\n') }),
  XX: fc.string({ unit: fc.constantFrom(...COMMENT, 'B[aa]') }),
};
const properties = (...ids) => fc.array(fc.constantFrom(...ids).chain((id) => VALUES[id].map((v) => [id, v])), { maxLength: 3 });
const sgfToken = fc.oneof(
  fc.constantFrom('(;', '(', ')', ';', ';W[hh]', 'B', 'W', 'AB', 'AE', 'PL', 'SZ', 'RU', 'GM', 'AddBlack', 'b',
    ' ', '\n', '[', ']', '\\', '%'),
  fc.constantFrom('', ' gh ', 'tt', 'pp', 'aZ', '21', '15:16', 'x', 'renju', 'a\\]b', '(;B[aa])').map((v) => `[${v}]`));
const sgfText = fc.tuple(fc.constantFrom('', '(;', ' (\n;'), textOf(sgfToken)).map(([start, rest]) => start + rest);
// An SGF file: stones set up in turn (so the counts allow them), perhaps the first move in the
// root (as some programs write it; a move of each colour there is refused), nodes each after an
// earlier one, moves alternating down each line so that most replay far, and text after it.
const sgfFile = fc.record({
  root: properties('SZ', 'RU', 'GM', 'C', 'XX'),
  inRoot: fc.tuple(fc.oneof({ weight: 3, arbitrary: fc.constant(0) }, fc.constantFrom(1, 2)), sgfPoint, sgfPoint),
  setup: fc.array(sgfPoint, { maxLength: 5 }),
  pl: fc.boolean(),
  nodes: fc.array(fc.record({ after: fc.nat(), move: fc.option(sgfPoint, { freq: 6 }), props: properties('C', 'V', 'BM', 'XX') }),
    { maxLength: 20 }),
  tail: fc.oneof(fc.constant(''), sgfText),
}).map(({ root, inRoot: [count, ...points], setup, pl, nodes, tail }) => {
  const props = (list) => list.map(([id, v]) => `${id}[${v.replace(/[\\\]]/g, '\\$&')}]`).join('');
  const stones = (id, list) => (list.length ? `${id}[${list.join('][')}]` : '');
  const whiteFirst = setup.length % 2 === 1;
  const start = stones('AB', setup.filter((_, i) => i % 2 === 0)) + stones('AW', setup.filter((_, i) => i % 2)) +
    (pl ? `PL[${whiteFirst ? ' w ' : 'b'}]` : '');
  const rootMoves = (count === 2 ? ['B', 'W'] : whiteFirst ? ['W'] : ['B']).slice(0, count).map((c, i) => [c, points[i]]);
  const children = [[]];
  nodes.forEach((node, i) => children[node.after % (i + 1)].push(i + 1) && children.push([]));
  const text = (i, w) => {
    const { move, props: p } = nodes[i - 1];
    return `;${move === null ? '' : `${w ? 'W' : 'B'}[${move}]`}${props(p)}${line(i, move === null ? w : !w)}`;
  };
  const line = (i, w) => (children[i].length === 1 ? text(children[i][0], w) : children[i].map((c) => `(${text(c, w)})`).join(''));
  return `(;${props([...root, ...rootMoves])}${start}${line(0, whiteFirst !== (count > 0))})${tail}`;
});

test('any text is read as an SGF game tree that writes and reads back the same, or refused in words', () => {
  run(fc.property(fc.oneof(sgfText, withStray(sgfFile, sgfToken)), fc.constantFrom(0, 1), (text, rule) => {
    const tree = readOrRefused(readSgf(text, rule), 'tree');
    if (tree) sameAfterWriting(tree, rule);
  }), 1500);
});

test('random games with variations and notes on every size and rule keep their tree through SGF', () => {
  // A move after any node, which then takes a note: a review's V and BM, a comment.
  const note = fc.record({ C: fc.string({ unit: fc.constantFrom(...COMMENT) }), V: VALUES.V, BM: VALUES.BM }, { requiredKeys: [] });
  run(fc.property(position, fc.array(fc.tuple(fc.nat(), point, note), { maxLength: 30 }), ({ game }, steps) => {
    let tree = treeFromGame(game);
    for (const [from, [r, c], props] of steps) {
      const nodes = [...tree.listNodes()];
      let { id } = nodes[from % nodes.length];
      const at = gameAt(tree, id);
      const player = at.toMove();
      if (at.play(r, c)) ({ tree, id } = addMove(tree, id, player, [r, c]));
      tree = setProperties(tree, id, Object.fromEntries(Object.entries(props).map(([key, value]) => [key, [value]])));
    }
    sameAfterWriting(tree, 1 - game.rule); // RU wins over the caller's rule
  }), 150);
});

const psqToken = fc.constantFrom('Piskvorky 15x15, 11:11, 0\n', 'Piskvorky 20x20\n', 'Piskvorky 9x9\n', '8,8,0\n', '1,1\n',
  '16,2,5\n', '2, 15 ,-3\n', '-1\n', 'alpha\n', '\r\n', ',', 'x', ' ');
const psqText = fc.tuple(fc.constantFrom('', 'Piskvorky 15x15, 11:11, 0\n', 'Piskvorky 20x20\r\n'), textOf(psqToken))
  .map(([start, rest]) => start + rest);
const psqBack = (tree, rule) => mainLineGame(readPsq(writePsq(tree, lineThrough(tree, tree.root.id, {}), ['a', 'b']).text, rule).tree);

test('.psq: any text is read as a game that writes and reads back the same, or refused in words', () => {
  run(fc.property(psqText, fc.constantFrom(0, 1), (text, rule) => {
    const tree = readOrRefused(readPsq(text, rule), 'tree');
    if (tree) assert.deepEqual(seen(psqBack(tree, rule)), seen(mainLineGame(tree)), text);
  }), 1500);
  const fromEmpty = position.map(({ game, moves }) => play(new Game(game.size, game.rule), moves));
  run(fc.property(fromEmpty, (game) => assert.deepEqual(seen(psqBack(treeFromGame(game), game.rule)), seen(game))), 200);
});

// Points in the books' letters, on every board or near its edges, and moves in both notations.
const onEvery = fc.tuple(fc.nat(14), fc.nat(14));
const letters = ([r, c]) => `${String.fromCharCode(97 + c)}${15 - r}`;
const letterPoint = fc.tuple(fc.constantFrom(...'abhostuzH'), fc.constantFrom('0', '1', '08', '15', '16', '20', '21'))
  .map(([c, r]) => c + r);
const linkToken = fc.oneof(letterPoint, fc.constantFrom('#', '&', '=', 'size=', 'rule=', 'moves=', 'black=', 'white=',
  'tomove=', 'player=', 'section', '15', '20', '21', '0', '1', '2', 'x', 'black', 'white', '%20', '+', '%68'));
const linkField = fc.oneof(fc.integer({ min: 15, max: 20 }).map((v) => `size=${v}`), fc.constantFrom('rule=0', 'rule=1'),
  fc.constantFrom('tomove=black', 'tomove=white'), ...[['black', 3], ['white', 3], ['moves', 12]].map(([key, maxLength]) =>
    fc.array(onEvery, { maxLength }).map((list) => `${key}=${list.map(letters).join('')}`)));
const linkText = fc.oneof(textOf(linkToken),
  withStray(fc.array(linkField, { maxLength: 5 }).map((fields) => `#${fields.join('&')}`), linkToken));

test('any text is read as a link to a game that formats and reads back the same, or refused in words', () => {
  run(fc.property(linkText, (text) => {
    const game = readOrRefused(parseLink(text), 'game');
    if (game) assert.deepEqual(seen(parseLink(formatLink(game)).game), seen(game), text);
  }), 2000);
  run(fc.property(position, ({ game }) => assert.deepEqual(seen(parseLink(`#${formatLink(game)}`).game), seen(game))), 200);
});

const moveToken = fc.oneof(letterPoint, fc.constantFrom(' ', ',', '\n', '-', '.', '1.', '7,7', '-1,2', 'x'),
  fc.tuple(fc.constantFrom('', '-'), fc.nat(20), fc.nat(20)).map(([sign, r, c]) => `${sign}${r},${c}`));
// The same text for both readers, or one list of moves in either notation.
const moveTexts = fc.oneof(textOf(moveToken).map((text) => [text, text]),
  fc.array(fc.tuple(onEvery, fc.constantFrom(' ', ', ', '\n')), { maxLength: 20 }).chain((list) => fc.tuple(
    withStray(fc.constant(list.map(([[r, c], sep]) => `${r},${c}${sep}`).join('')), moveToken),
    withStray(fc.constant(list.map(([at, sep]) => letters(at) + sep).join('')), moveToken))));
const LISTS = [[formatMoves, parseMoves], [formatLetters, parseLetters]];

test('move lists: any text reads into a game or is refused in words, and a written list reads back', () => {
  const sizeRule = fc.tuple(fc.integer({ min: 15, max: 20 }), fc.constantFrom(0, 1));
  run(fc.property(moveTexts, sizeRule, (texts, [size, rule]) => LISTS.forEach(([write, read], i) => {
    const game = readOrRefused(read(texts[i], size, rule), 'game');
    if (game) assert.deepEqual(seen(read(write(game.moves, size), size, rule).game), seen(game), read.name);
  })), 2000);
  const fromEmpty = position.map(({ game, moves }) => play(new Game(game.size, game.rule), moves));
  run(fc.property(fromEmpty, (game) => LISTS.forEach(([write, read]) => {
    assert.deepEqual(seen(read(write(game.moves, game.size), game.size, game.rule).game), seen(game), read.name);
  })), 200);
});

// The cases the properties shrank their finds to, each a fault now mended.
test('the shrunk cases of the faults the properties found', () => {
  for (const [text, error] of [
    ['(;B[aa]W[bb];W[cc])', 'Move 1 holds more than one stone.'], // White's stone was played as Black's
    ['(;AB[aa]AW[aa])', 'The file\'s set-up position is refused: A point holds two stones.'],
  ]) assert.equal(readSgf(text, 1).error, error);
  // A property without a value threw or came back with one; PL[b] was written as white's turn.
  for (const text of ['(;GM)', '(;XX;B[hh])', '(;AB[aa]AW[bb]PL[b];B[cc])']) {
    const nodes = (tree) => [...tree.listNodes()].map((n) => n.data);
    const { tree } = readSgf(text, 1);
    assert.deepEqual(nodes(readSgf(writeSgf(tree), 1).tree), nodes(tree), text);
  }
  assert.ok(Object.is(parseMoves('-0,0', 15, 1).game.moves[0][0], 0));
});
