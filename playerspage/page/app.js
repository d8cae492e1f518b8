'use strict';
// The players' page: the round clock, the bracket or the Swiss round and its standings, and "my
// match", kept up to date from the organiser's laptop by an event stream, or by polling /state
// where there is none. Every name
// goes onto the page as text (textContent), never as markup, and in a <bdi> of its own: a name
// that turns its writing round (U+202E, say) turns nothing but itself.
(() => {
  const STORE_KEY = 'velka-follow-me';
  const POLL_MS = 1500;       // polling: a change shows within two seconds
  const STREAM_RETRY_MS = 15000;
  const LOST_AFTER_MS = 3000; // a broken link shows after this long
  const SILENT_MS = 20000;    // the heartbeat comes every 15 s: silence beyond this is a lost link

  const $ = (id) => document.getElementById(id);
  const now = () => performance.now();

  let state = null;
  let etag = null;
  let clock = null; // the clock as received, with `at` on this page's monotonic clock
  let lastHeard = now();
  let everHeard = false;
  let lostSince = null;
  let source = null;
  let streamTried = -Infinity;
  let pollTimer = 0;
  let memoryMe = null; // where localStorage is unavailable
  let shownRound = 0;  // the Swiss round on the page, to tell a newly paired one
  const spoken = { id: null, secs: null, five: false, one: false, up: false };

  // The link to the laptop.
  function heard() {
    lastHeard = now();
    everHeard = true;
    lostSince = null;
  }
  function lost() {
    if (lostSince === null) lostSince = now();
  }
  function linkDown() {
    const t = now();
    return (lostSince !== null && t - lostSince > LOST_AFTER_MS) || t - lastHeard > SILENT_MS;
  }
  function ago(ms) {
    const s = Math.max(0, Math.floor(ms / 1000));
    if (s < 60) return s + '秒前';
    if (s < 3600) return Math.floor(s / 60) + '分' + (s % 60) + '秒前';
    return Math.floor(s / 3600) + '時間' + (Math.floor(s / 60) % 60) + '分前';
  }

  // The clock.
  const two = (n) => (n < 10 ? '0' : '') + n;
  const hms = (t) => Math.floor(t / 3600) + ' : ' + two(Math.floor(t / 60) % 60) + ' : ' + two(t % 60);

  function clockView() {
    if (!clock) return { text: '--', label: '運営のパソコンを待っています', cls: 'white' };
    const elapsed = now() - clock.at;
    if (clock.mode === 'countdown') {
      // The projector shows end - floor(now) seconds: the same as rounding the rest up.
      const secs = Math.ceil((clock.msLeft - elapsed) / 1000);
      if (secs <= 0) return { text: 'Time Up!!', label: 'ラウンド終了', cls: 'red', secs: 0 };
      const green = Math.floor(secs / 60) % 60 > 0;
      return { text: hms(secs), label: 'ラウンド残り時間', cls: green ? 'green' : 'red', secs };
    }
    if (clock.mode === 'timeUp') return { text: 'Time Up!!', label: 'ラウンド終了', cls: 'red', secs: 0 };
    const day = 86400000;
    const ms = (((clock.timeOfDayMs + elapsed) % day) + day) % day;
    return { text: hms(Math.floor(ms / 1000)), label: '現在時刻', cls: 'white' };
  }

  // Speaks only at five minutes, one minute and the end of a countdown it has seen running.
  function announce(view) {
    const id = clock && clock.mode !== 'timeOfDay' ? clock.countdownId : null;
    if (id === null || view.secs === undefined) {
      spoken.id = null;
      return;
    }
    if (id !== spoken.id) {
      Object.assign(spoken, { id, secs: view.secs, five: view.secs <= 300, one: view.secs <= 60, up: view.secs <= 0 });
      return;
    }
    let say = null;
    if (!spoken.up && view.secs <= 0) {
      spoken.up = spoken.one = spoken.five = true;
      say = 'Time Up!!';
    } else if (!spoken.one && view.secs <= 60) {
      spoken.one = spoken.five = true;
      say = '残り1分です';
    } else if (!spoken.five && view.secs <= 300) {
      spoken.five = true;
      say = '残り5分です';
    }
    if (say) $('announce').textContent = say;
  }

  function renderClock() {
    const label = $('clock-label');
    const face = $('clock');
    const connection = $('connection');
    if (linkDown()) {
      const when = !everHeard ? 'まだ何も受信していません。' : '最後に受信したのは ' + ago(now() - lastHeard) + ' です。';
      setText(label, '運営のパソコンとつながっていません');
      setText(face, '通信が途切れています');
      face.className = 'clock stale';
      setText(connection, '運営のパソコンとつながっていません。' + when + '同じ Wi-Fi につながっているか確かめてください。');
      connection.hidden = false;
      return;
    }
    connection.hidden = true;
    const view = clockView();
    setText(label, view.label);
    setText(face, view.text);
    face.className = 'clock ' + view.cls;
    announce(view);
  }

  function setText(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  // Text with names in it: `parts` holds strings and player indices.
  const parts = (list) => list.map((p) => (typeof p === 'number' ? element('bdi', '', nameOf(p)) : p));
  function setParts(target, list) {
    const key = JSON.stringify(list.map((p) => (typeof p === 'number' ? [nameOf(p)] : p)));
    if (target.shownParts === key) return;
    target.shownParts = key;
    target.replaceChildren(...parts(list));
  }

  // Who "I" am, remembered on this phone.
  function savedMe() {
    try {
      const text = window.localStorage.getItem(STORE_KEY);
      return text ? JSON.parse(text) : null;
    } catch (e) {
      return memoryMe;
    }
  }
  function saveMe(me) {
    memoryMe = me;
    try {
      if (me) window.localStorage.setItem(STORE_KEY, JSON.stringify(me));
      else window.localStorage.removeItem(STORE_KEY);
    } catch (e) {
      // kept in memory only
    }
  }
  // The Swiss event and the bracket remember the same name: a player followed through the Swiss
  // rounds is followed into the top cut.
  function myIndex() {
    const me = savedMe();
    if (me && state && state.swiss) return state.swiss.players.findIndex((p) => p.name === me.name);
    if (!me || !state || !state.bracket) return -1;
    const players = state.bracket.players;
    const exact = players.findIndex((p) => p.name === me.name && p.slot === me.slot);
    return exact >= 0 ? exact : players.findIndex((p) => p.name === me.name);
  }

  const nameOf = (i) => {
    const name = (state.swiss || state.bracket).players[i].name;
    return name === '' ? '（名前なし）' : name;
  };
  const roundOf = (m) => {
    const b = state.bracket;
    const round = b.rounds.find((r) => r.number === b.matches[m].round);
    return round ? round.name : '';
  };

  // Everyone who may still come to a side that is not decided yet.
  function candidates(side, out) {
    if (side.player !== undefined) out.push(side.player);
    else if (side.from !== undefined) {
      const m = state.bracket.matches[side.from];
      if (m.result === 'pending') {
        candidates(m.upper, out);
        candidates(m.lower, out);
      } else if (m.result === 'upper') candidates(m.upper, out);
      else if (m.result === 'lower') candidates(m.lower, out);
    }
    return out;
  }
  // [i, separator, j, separator, k]
  const between = (list, separator) => list.flatMap((i, n) => (n ? [separator, i] : [i]));
  const joinNames = (list) => between(list, 'さん・').concat(['さん']);

  function renderMine() {
    const status = $('mine-status');
    const title = $('mine-title');
    const forget = $('forget');
    const me = myIndex();
    if (state && state.swiss) {
      renderMySeat(title, status, me);
      forget.hidden = me < 0;
      return;
    }
    if (me < 0) {
      setParts(title, ['あなたの試合']);
      setParts(status, [state && state.bracket
        ? 'トーナメント表で自分の名前をタップすると、次の対戦相手がここに出ます。'
        : '組み合わせが発表されたら、自分の名前をタップしてください。']);
      forget.hidden = true;
      return;
    }
    const p = state.bracket.players[me];
    setParts(title, ['あなたの試合：', me, 'さん']);
    forget.hidden = false;
    let text;
    const next = '次は' + roundOf(p.match);
    switch (p.status) {
      case 'champion':
        text = ['優勝です。おめでとうございます！'];
        break;
      case 'out':
        text = [roundOf(p.match)].concat(p.opponent !== null ? ['で ', p.opponent, 'さんに敗れました。'] : ['で敗退しました。'], ['お疲れさまでした。']);
        break;
      case 'playing':
        text = [next + '、相手は ', p.opponent, 'さんです。'];
        break;
      default:
        if (p.match === null) text = ['次の試合を待っています。'];
        else if (p.waitingFor.length === 0) text = [next + '。相手はまだ決まっていません。'];
        else if (p.waitingFor.length === 1) text = [next + '。相手は ', ...joinNames(p.waitingFor), 'の予定です（結果待ち）。'];
        else text = [next + '。相手は ', ...joinNames(p.waitingFor), 'の勝者です（試合の結果待ち）。'];
    }
    setParts(status, text);
  }

  // The Swiss event: "my" seat, the round's pairings by name, the standings. What is false,
  // empty or none is left out of the state.
  function renderMySeat(title, status, me) {
    const sw = state.swiss;
    const round = '第' + sw.round + '回戦';
    if (me < 0) {
      setParts(title, ['あなたの試合']);
      setParts(status, ['「名前で探す」で自分の名前を見つけてタップすると、卓と相手がここに出ます。']);
      return;
    }
    const p = sw.players[me];
    const text = [round + '　', me, 'さん'];
    if (p.table === undefined) {
      setParts(title, ['あなたの試合：' + round + 'はありません']);
      text.push(p.dropped ? '：棄権のため組み合わせに入っていません。' : '：組み合わせに入っていません。運営に声をかけてください。');
    } else if (p.opponent === undefined) {
      setParts(title, ['あなたの試合：不戦勝']);
      text.push('：' + round + 'は対戦相手がいません（不戦勝）。');
    } else {
      setParts(title, ['あなたの試合：' + p.table + '番卓、相手 ', p.opponent]);
      if (p.result !== undefined) text.push('：結果 ' + p.result);
    }
    const line = sw.standings.find((l) => l.player === me);
    if (line) text.push('　第' + sw.standingsAfter + '回戦までの順位：' + line.rank + '位（勝ち点 ' + line.points + '）');
    if (sw.standingsAfter === sw.round) text.push(sw.round < sw.rounds ? '　次の回戦の組み合わせを待っています。' : '　全' + sw.rounds + '回戦が終わりました。');
    setParts(status, text);
  }

  // Found by name or reading however it is typed: full- or half-width, capitals, katakana or
  // hiragana, with or without spaces.
  const folded = (text) => text.normalize('NFKC').toLowerCase().replace(/\s+/g, '')
    .replace(/[\u30a1-\u30f6]/g, (c) => String.fromCharCode(c.charCodeAt(0) - 0x60));

  function filterPairings() {
    const query = folded($('find').value);
    const rows = $('pairings').children;
    let count = 0;
    for (const row of rows) {
      row.hidden = query !== '' && !row.key.includes(query);
      if (!row.hidden) count++;
    }
    setText($('found'), query === '' ? '' : count ? count + '人見つかりました。名前をタップすると、この端末が覚えます。' : '見つかりません。');
  }

  function renderSwiss() {
    const sw = state.swiss;
    const me = myIndex();
    setText($('swiss-title'), '第' + sw.round + '回戦の組み合わせ（全' + sw.rounds + '回戦）');
    const rows = [];
    for (const i of sw.players.keys()) {
      const p = sw.players[i];
      if (p.table === undefined) continue;
      const row = element('li', 'pair');
      row.key = folded(p.name) + '\n' + folded(p.reading || '');
      if (i === me) row.classList.add('me');
      const name = element('button', 'name');
      name.type = 'button';
      name.append(...parts([i]));
      name.addEventListener('click', () => chooseByName(p.name));
      const vs = element('span', 'vs');
      vs.append(...parts(p.opponent === undefined ? ['不戦勝（対戦なし）'] : ['相手 ', p.opponent, 'さん']));
      const who = element('span', 'who');
      who.append(name, vs);
      const table = element('span', 'table', p.opponent === undefined ? '－' : String(p.table));
      if (p.opponent !== undefined) table.append(element('small', '', '番卓'));
      row.append(table, who, element('span', 'result', p.result || ''));
      rows.push(row);
    }
    $('pairings').replaceChildren(...rows);
    filterPairings();

    $('standings-part').hidden = sw.standings.length === 0;
    setText($('standings-title'), sw.standingsAfter === sw.rounds ? '最終順位' : '順位表（第' + sw.standingsAfter + '回戦まで）');
    $('standings').replaceChildren(...sw.standings.map((l) => {
      const row = element('tr', l.player === me ? 'me' : '');
      const name = element('td', 'name');
      name.append(...parts([l.player]));
      if (l.dropped) name.append(element('span', 'tag', '棄権'));
      row.append(element('td', '', l.rank + '位'), name, element('td', '', String(l.points)), element('td', '', l.record));
      return row;
    }));
  }

  function chooseByName(name) {
    saveMe({ name });
    render();
    window.scrollTo(0, 0);
  }

  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function sideRow(match, index, which, me) {
    const side = match[which];
    const row = element('div', 'side');
    const won = match.result === which;
    const decided = match.result !== 'pending';
    if (side.player !== undefined) {
      const name = element('button', 'name');
      name.append(...parts([side.player]));
      name.type = 'button';
      name.addEventListener('click', () => choose(side.player));
      row.append(name);
      if (state.bracket.players[side.player].seed) row.append(element('span', 'tag', 'シード'));
      if (side.player === me) row.classList.add('me');
    } else if (which === 'lower' && match.bye) {
      row.append(element('span', 'open', '対戦なし'));
    } else if (side.from !== undefined) {
      const list = candidates(side, []);
      const open = element('span', 'open');
      open.append(...(list.length ? parts(between(list, ' / ').concat([' の勝者'])) : ['未定']));
      row.append(open);
    } else {
      row.append(element('span', 'open', '（なし）'));
    }
    if (won) {
      row.classList.add('won');
      row.append(element('span', 'mark', match.bye ? '不戦勝' : '勝ち上がり'));
    } else if (decided && !(which === 'lower' && match.bye)) {
      row.classList.add('lost');
    }
    return row;
  }

  function renderBracket() {
    const rounds = $('rounds');
    const empty = $('bracket-empty');
    const champion = $('champion');
    rounds.replaceChildren();
    const b = state && state.bracket;
    empty.hidden = !!b;
    if (!b) {
      champion.hidden = true;
      return;
    }
    if (b.champion !== null) {
      setParts(champion, ['🏆 優勝：', b.champion, 'さん']);
      champion.hidden = false;
    } else {
      champion.hidden = true;
    }
    const me = myIndex();
    for (const round of b.rounds) {
      const section = element('section', 'round');
      section.append(element('h3', '', round.name));
      const list = element('ol', 'matches');
      for (const m of round.matches) {
        const match = b.matches[m];
        const item = element('li', 'match');
        if (me >= 0 && (match.upper.player === me || match.lower.player === me)) item.classList.add('my-match');
        item.append(sideRow(match, m, 'upper', me), sideRow(match, m, 'lower', me));
        list.append(item);
      }
      section.append(list);
      rounds.append(section);
    }
  }

  function choose(i) {
    const p = state.bracket.players[i];
    saveMe({ name: p.name, slot: p.slot });
    render();
  }

  function render() {
    const sw = state && state.swiss;
    $('swiss').hidden = !sw;
    $('bracket-part').hidden = !!sw;
    if (sw) {
      $('champion').hidden = true;
      renderSwiss();
    } else {
      $('standings-part').hidden = true;
      renderBracket();
    }
    renderMine();
  }

  function apply(doc) {
    heard();
    state = doc;
    clock = doc.clock ? Object.assign({ at: now() }, doc.clock) : null;
    render();
    renderClock();
    // A newly paired round opens with the player's own table on top.
    const round = doc.swiss ? doc.swiss.round : 0;
    if (round > shownRound && shownRound > 0 && myIndex() >= 0) window.scrollTo(0, 0);
    shownRound = round;
  }

  // Polling, where the event stream is unavailable or keeps failing.
  async function fetchState(conditional) {
    try {
      const headers = conditional && etag ? { 'If-None-Match': etag } : {};
      const response = await fetch('/state', { headers, cache: 'no-store' });
      if (response.status === 304) {
        heard();
      } else if (response.ok) {
        etag = response.headers.get('ETag');
        apply(await response.json());
      } else {
        lost();
      }
    } catch (e) {
      lost();
    }
    renderClock();
  }
  function startPolling() {
    if (pollTimer) return;
    pollTimer = window.setInterval(() => {
      fetchState(true);
      if (!source && window.EventSource && now() - streamTried > STREAM_RETRY_MS) openStream();
    }, POLL_MS);
    fetchState(true);
  }
  function stopPolling() {
    window.clearInterval(pollTimer);
    pollTimer = 0;
  }

  function openStream() {
    if (!window.EventSource) {
      startPolling();
      return;
    }
    streamTried = now();
    source = new EventSource('/events');
    source.addEventListener('state', (e) => {
      etag = null;
      apply(JSON.parse(e.data));
    });
    source.addEventListener('ping', (e) => {
      heard();
      const doc = JSON.parse(e.data);
      clock = doc.clock ? Object.assign({ at: now() }, doc.clock) : null;
      renderClock();
    });
    source.addEventListener('open', () => {
      heard();
      stopPolling();
    });
    source.addEventListener('error', () => {
      lost();
      renderClock();
      if (source && source.readyState === EventSource.CLOSED) {
        source = null;
        startPolling();
      }
    });
  }

  $('forget').addEventListener('click', () => {
    saveMe(null);
    render();
  });
  $('find').addEventListener('input', filterPairings);
  // A phone that slept counted on in its sleep, or not at all: take the clock afresh.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible') fetchState(false);
  });
  window.setInterval(renderClock, 100);
  openStream();
  renderMine();
})();
