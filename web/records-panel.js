// The game as text, in and out: the move list in either notation (copy, paste and set up), SGF
// files (save and open, a whole collection of games among them) and .psq files (save and open).

import { mainLineGame, readSgfGames, writeSgf } from './sgf.js';
import { isPsq, readPsq, writePsq } from './psq.js';
import { formatLetters, formatMoves, gameFileName, parseLetters, parseMoves } from './records.js';
import { playersText, resultWords } from './players.js';
import { $, lettersChosen } from './notes.js';

const MAX_FILE = 4 << 20;

// `hooks`: settings() (the form's), openGame(game, human), openTree(tree, game), and for a .psq
// written here names() (black's and white's) and timeOf(node) (what a move's search took).
export class RecordsPanel {
  constructor(nav, hooks) {
    this.nav = nav;
    this.hooks = hooks;
    this.collection = null; // {name, games} of the file of several games opened last
  }

  // The move list of the position shown, in the notation chosen.
  moveList() {
    const g = this.nav.game;
    return lettersChosen() ? formatLetters(g.moves, g.size) : formatMoves(g.moves);
  }

  render() {
    if (document.activeElement !== $('moves')) $('moves').value = this.moveList();
  }

  async copy() {
    const text = this.moveList();
    try {
      await navigator.clipboard.writeText(text);
    } catch {
      $('moves').value = text;
      $('moves').select();
      document.execCommand('copy');
    }
    $('moves-note').textContent = `Copied ${this.nav.game.moves.length} moves.`;
  }

  // A pasted list in either notation (letters followed by digits are the books' kind), or a
  // pasted .psq file.
  setUp() {
    const s = this.hooks.settings();
    const text = $('moves').value;
    if (isPsq(text)) {
      this.openRead(readPsq(text, s.rule), 'the pasted game');
      return;
    }
    const read = /[a-t]\s*\d/i.test(text) ? parseLetters : parseMoves;
    const parsed = read(text, s.size, s.rule);
    if (parsed.error) {
      $('moves-note').textContent = parsed.error;
      return;
    }
    this.hooks.openGame(parsed.game, s.human);
    $('moves-note').textContent = `Set up ${parsed.game.moves.length} moves.`;
  }

  saveSgf() {
    const { tree, forfeit } = this.nav;
    const name = gameFileName(new Date());
    download(writeSgf(tree, forfeit), name, 'application/x-go-sgf');
    const nodes = [...tree.listNodes()].length - 1;
    $('moves-note').textContent = `Saved ${nodes} moves and notes, variations included, as ${name}.`;
  }

  // The line shown, as tournament tools keep a game.
  savePsq() {
    const line = this.nav.lineShown();
    const written = writePsq(this.nav.tree, line, this.hooks.names(), this.hooks.timeOf);
    if (written.error) {
      $('moves-note').textContent = written.error;
      return;
    }
    const name = gameFileName(new Date()).replace(/\.sgf$/, '.psq');
    download(written.text, name, 'text/plain');
    $('moves-note').textContent = `Saved the ${written.moves} moves of the line shown as ${name}.`;
  }

  // A game file: a .psq, an SGF of one game (opened at once) or of several (listed to choose
  // from). A file that does not read changes nothing.
  async openFile(file) {
    const rule = this.hooks.settings().rule;
    const text = file.size > MAX_FILE ? null : await file.text();
    let read;
    if (text === null) read = { error: 'The file is too large for a game record.' };
    else if (/\.psq$/i.test(file.name) || isPsq(text)) read = readPsq(text, rule);
    else {
      read = readSgfGames(text, rule);
      if (read.games?.length > 1 && read.games.some((game) => !game.error)) {
        this.list({ name: file.name, games: read.games });
        return;
      }
      if (read.games) read = read.games.length === 1 ? read.games[0] : { error: `Game 1: ${read.games[0].error}` };
    }
    if (this.openRead(read, file.name)) this.list(null);
  }

  // Opens what a reader gave ({tree, note} or {error}), or says why not in note `noteId`;
  // `from` names the file.
  openRead(read, from, noteId = 'moves-note') {
    if (read.error) {
      $(noteId).textContent = `${from}: ${read.error}`;
      return false;
    }
    const game = mainLineGame(read.tree);
    this.hooks.openTree(read.tree, game);
    $(noteId).textContent = `Opened ${from}: ${game.moves.length} moves on its main line.${read.note ? ` ${read.note}` : ''}`;
    return true;
  }

  // The games of a collection, one button each, until another file is opened (null: none).
  list(collection) {
    this.collection = collection;
    $('games-box').hidden = !collection;
    if (!collection) {
      $('record-games').replaceChildren();
      return;
    }
    const items = collection.games.map(({ info, tree, error }, i) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.recordGame = i + 1;
      const result = resultWords(tree ? mainLineGame(tree).result : null, info.record?.re);
      const parts = [playersText(info.record), result, `${info.moves} move${info.moves === 1 ? '' : 's'}`, info.date];
      button.textContent = `${i + 1}. ${parts.filter(Boolean).join(', ')}${error ? ' (cannot be opened)' : ''}`;
      button.addEventListener('click', () => this.choose(i));
      const item = document.createElement('li');
      item.append(button);
      return item;
    });
    $('record-games').replaceChildren(...items);
    $('games-box').open = true;
    $('games-file').textContent = `${collection.games.length} games in ${collection.name}: choose one to open it.`;
    $('moves-note').textContent = `${collection.name} holds ${collection.games.length} games: choose one under "Games in the file".`;
    items[0].firstChild.focus();
  }

  // Opens game `i` of the collection; the list stays for the next one.
  choose(i) {
    const { name, games } = this.collection;
    const { tree, error, note } = games[i];
    const opened = this.openRead(error ? { error } : { tree, note }, `game ${i + 1} of ${name}`, 'games-file');
    if (opened) {
      for (const button of $('record-games').querySelectorAll('button')) button.removeAttribute('aria-current');
      $('record-games').children[i].firstChild.setAttribute('aria-current', 'true');
    }
  }

  wire() {
    $('copy-moves').addEventListener('click', () => this.copy());
    $('set-up').addEventListener('click', () => this.setUp());
    $('save-sgf').addEventListener('click', () => this.saveSgf());
    $('save-psq').addEventListener('click', () => this.savePsq());
    $('open-sgf').addEventListener('click', () => $('sgf-file').click());
    $('sgf-file').addEventListener('change', (e) => {
      const [file] = e.target.files;
      e.target.value = ''; // the same file may be opened again
      if (file) this.openFile(file);
    });
  }
}

// Hands `text` to the browser as a file to save.
function download(text, name, type) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  a.click();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
