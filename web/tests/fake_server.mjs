// A stand-in for the company's server in the page's tests, answering the
// page's /api/ calls through Playwright's routes as docs/server-api.md
// describes them: a session per browser context, the csrf key checked on
// every change, entries kept once by id, cards taken at their base and kept
// both ways otherwise, changes numbered for the cursor. `offline` makes
// every call fail as a lost network does.

const json = (route, status, body, headers = {}) =>
  route.fulfill({ status, contentType: 'application/json; charset=utf-8', headers, body: JSON.stringify(body) });

export class FakeServer {
  /** @param {Record<string, string>} users name → password */
  constructor(users) {
    this.users = users;
    this.offline = false;
    this.cards = new Map();    // id → { card, seq }
    this.entries = new Map();  // id → { entry, seq }
    this.seq = 0;
    this.received = [];        // every entry id each sync carried, in order
    this.syncs = 0;
  }

  // Serves the calls of every page of `context`, one session for them all.
  async attach(context) {
    const session = { name: '', csrf: '' };
    await context.route('**/api/**', (route) => this.handle(route, session));
  }

  async handle(route, session) {
    if (this.offline) return route.abort('internetdisconnected');
    const request = route.request();
    const path = new URL(request.url()).pathname;
    const body = request.postData() ? JSON.parse(request.postData()) : null;
    if (request.method() !== 'GET' && path !== '/api/login'
        && (!session.csrf || request.headers()['x-quorvex-token'] !== session.csrf))
      return json(route, session.csrf ? 403 : 401, { error: session.csrf ? 'запрос отклонён: неверный ключ сеанса' : 'войдите в систему' });
    if (path === '/api/session')
      return session.csrf ? json(route, 200, { name: session.name, role: 'installer', csrf: session.csrf })
        : json(route, 401, { error: 'войдите в систему' });
    if (path === '/api/login') {
      if (this.users[body.name] !== body.password) return json(route, 401, { error: 'неверное имя или пароль <b>' });
      Object.assign(session, { name: body.name, csrf: `key-${Math.random()}` });
      return json(route, 200, { name: session.name, role: 'installer', csrf: session.csrf });
    }
    if (path === '/api/logout') {
      Object.assign(session, { name: '', csrf: '' });
      return route.fulfill({ status: 204 });
    }
    if (path === '/api/sync') return json(route, 200, this.sync(body));
    return json(route, 404, { error: 'нет такого адреса' });
  }

  sync({ cursor, cards, entries }) {
    this.syncs += 1;
    this.received.push(...entries.map((entry) => entry.id));
    for (const entry of entries)
      if (!this.entries.has(entry.id)) this.entries.set(entry.id, { entry, seq: ++this.seq });
    const conflicts = [];
    for (const { card, base } of cards) {
      const held = this.cards.get(card.id);
      const holder = [...this.cards.values()].find((kept) => kept.card.number === card.number && kept.card.id !== card.id);
      if (holder) conflicts.push({ mine: card, theirs: holder.card });
      else if (held && held.card.version !== base) conflicts.push({ mine: card, theirs: held.card });
      else this.cards.set(card.id, { card, seq: ++this.seq });
    }
    const after = (kept) => [...kept.values()].filter((one) => one.seq > cursor);
    return {
      cursor: this.seq,
      cards: after(this.cards).map((kept) => kept.card),
      entries: after(this.entries).map((kept) => kept.entry),
      conflicts,
    };
  }
}
