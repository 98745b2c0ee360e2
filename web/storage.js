// What the page keeps in the browser: each tab's game in a slot of its own, the game a link
// replaced, and the engine's answers that reviews found (shared by every tab). A tab names its
// slot in sessionStorage, which a reload keeps and a new tab does not; the games themselves
// stay in localStorage. An open tab holds its slot with a Web Lock, which the browser lets go
// when the tab closes, so a fresh tab can tell which games no open tab holds.

const SLOT = 'ormel.slot'; // sessionStorage: this tab's slot
const PREVIOUS = 'ormel.previous'; // sessionStorage: the slot a link replaced in this tab
const GAME = 'ormel.game.'; // localStorage: a slot's game, by the slot's name
const LEGACY = 'ormel.game'; // the one game the page kept before each tab kept its own
const REVIEWS = 'ormel.reviews'; // the engine's answers found by reviews, by level and position
const THREADS = 'ormel.threads'; // how many analysis workers the person chose
const LOCK = 'ormel.slot.';
const REVIEWS_KEPT = 4000;
const SLOTS_KEPT = 24; // games no tab holds, the most recent first, beyond which old ones go
const STALE_MS = 30 * 24 * 3600 * 1000; // and a month after they were last saved

const FULL = 'The game could not be saved: the browser\'s storage is full or refused. It stays on this page, and the next move tries again.';

function newSlot() {
  return `${Date.now().toString(36)}-${Math.random().toString(36).slice(2, 8)}`;
}

function parse(text) {
  try {
    const value = JSON.parse(text);
    return value && typeof value === 'object' && !Array.isArray(value) ? value : null;
  } catch {
    return null;
  }
}

export class GameStore {
  #release = null; // lets go of this tab's lock
  #pending = null; // the release of a lock just taken, until the slot is taken up

  constructor(local = globalThis.localStorage, session = globalThis.sessionStorage, locks = globalThis.navigator?.locks) {
    this.local = local;
    this.session = session;
    this.locks = locks;
    this.slot = null;
  }

  // Takes up this tab's slot: the one a reload left, unless another tab holds it (a tab
  // duplicated with its session), or else the most recent game no open tab holds, or else a new
  // one. Returns {saved, elsewhere}: this slot's game, and the most recent game when another
  // tab holds it (offered as a copy).
  async open() {
    this.#migrate();
    const held = await this.#held();
    const games = this.#games();
    const own = this.#get(this.session, SLOT);
    let slot = own && !held.has(own) ? own : games.find((g) => !held.has(g.slot))?.slot;
    if (!slot || !(await this.#hold(slot))) {
      slot = newSlot();
      await this.#hold(slot);
    }
    this.#take(slot);
    this.#clean(held);
    // A reload comes back to its own game; a fresh tab hears of a newer one another tab holds.
    const latest = games[0];
    const fresh = slot !== own;
    const elsewhere = fresh && latest && latest.slot !== slot && held.has(latest.slot) ? latest.saved : null;
    return { saved: this.read(slot), elsewhere };
  }

  read(slot = this.slot) {
    return parse(this.#get(this.local, GAME + slot));
  }

  // Keeps `snapshot` (null: nothing worth keeping) in this tab's slot. Returns '' when it is
  // kept, else the words of the failure; the next save tries again.
  save(snapshot) {
    try {
      if (snapshot) this.local.setItem(GAME + this.slot, JSON.stringify({ ...snapshot, savedAt: Date.now() }));
      else this.local.removeItem(GAME + this.slot);
      return '';
    } catch {
      return FULL;
    }
  }

  // A link replaces this tab's game: the game stays in its slot, and the tab moves to a new one.
  async setAside() {
    const old = this.slot;
    const slot = newSlot();
    await this.#hold(slot);
    this.#take(slot);
    this.#set(this.session, PREVIOUS, old);
  }

  hasPrevious() {
    const previous = this.#get(this.session, PREVIOUS);
    return Boolean(previous && this.read(previous));
  }

  // Back to the game a link replaced: its slot becomes this tab's again. Returns its game.
  async bringBack() {
    const previous = this.#get(this.session, PREVIOUS);
    const saved = previous && this.read(previous);
    if (!saved || !(await this.#hold(previous))) return null;
    this.#take(previous);
    this.session.removeItem(PREVIOUS);
    return saved;
  }

  // The number of analysis workers chosen on this browser, or null.
  loadThreads() {
    return Number(this.#get(this.local, THREADS)) || null;
  }

  saveThreads(n) {
    this.#set(this.local, THREADS, String(n));
  }

  loadReviews() {
    return parse(this.#get(this.local, REVIEWS)) ?? {};
  }

  // Adds `reviews` to what every tab has kept (another tab may have written since this one
  // read), the oldest dropped beyond REVIEWS_KEPT. Returns the merged answers.
  saveReviews(reviews) {
    const merged = { ...this.loadReviews(), ...reviews };
    const keys = Object.keys(merged);
    for (const key of keys.slice(0, Math.max(0, keys.length - REVIEWS_KEPT))) delete merged[key];
    try {
      this.local.setItem(REVIEWS, JSON.stringify(merged));
    } catch {
      // Without storage a review is found again next time.
    }
    return merged;
  }

  // The slot's name goes into this tab's session, and the lock of the slot it leaves goes.
  #take(slot) {
    const release = this.#release;
    this.#release = this.#pending;
    this.#pending = null;
    release?.();
    this.slot = slot;
    this.#set(this.session, SLOT, slot);
  }

  // Takes the slot's lock if no other tab holds it; true when taken (or when there are no locks).
  #hold(slot) {
    if (!this.locks) return Promise.resolve(true);
    return new Promise((taken) => {
      this.locks.request(LOCK + slot, { ifAvailable: true }, (lock) => {
        if (!lock) {
          taken(false);
          return null;
        }
        return new Promise((release) => {
          this.#pending = release;
          taken(true);
        });
      }).catch(() => taken(false));
    });
  }

  async #held() {
    if (!this.locks) return new Set();
    try {
      const { held } = await this.locks.query();
      return new Set(held.map((l) => l.name).filter((n) => n.startsWith(LOCK)).map((n) => n.slice(LOCK.length)));
    } catch {
      return new Set();
    }
  }

  // Every kept game, the most recently saved first: {slot, saved}.
  #games() {
    const games = [];
    for (let i = 0; i < this.local.length; ++i) {
      const key = this.local.key(i);
      if (!key?.startsWith(GAME)) continue;
      const saved = parse(this.#get(this.local, key));
      if (saved) games.push({ slot: key.slice(GAME.length), saved });
    }
    return games.sort((a, b) => (Number(b.saved.savedAt) || 0) - (Number(a.saved.savedAt) || 0));
  }

  // Games no open tab holds go after a month, and beyond the most recent SLOTS_KEPT.
  #clean(held) {
    const now = Date.now();
    this.#games().filter((g) => g.slot !== this.slot && !held.has(g.slot)).forEach((g, i) => {
      if (i >= SLOTS_KEPT || now - (Number(g.saved.savedAt) || 0) > STALE_MS) this.local.removeItem(GAME + g.slot);
    });
  }

  // The game kept under the single key of earlier versions becomes a slot's.
  #migrate() {
    const legacy = this.#get(this.local, LEGACY);
    if (legacy === null) return;
    try {
      this.local.setItem(GAME + newSlot(), legacy);
      this.local.removeItem(LEGACY);
    } catch {
      // Left where it was; the next visit tries again.
    }
  }

  #get(storage, key) {
    try {
      return storage?.getItem(key) ?? null;
    } catch {
      return null;
    }
  }

  #set(storage, key, value) {
    try {
      storage?.setItem(key, value);
    } catch {
      // A session that cannot be written: a reload of this tab starts as a new tab would.
    }
  }
}
