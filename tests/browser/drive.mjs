// Takes a generated web test in headless Chromium as a learner would, over the DevTools
// protocol on a pipe (no package beyond node itself).
//
// Usage: node drive.mjs PLAN.json > REPORT.json
// The plan: { "chromium": path, "url": file URL of the page,
//             "answers": { "<i>": {"kind": "typed", "type": text} |
//                                 {"kind": "radio", "right": k, "rows": n} |
//                                 {"kind": "check", "right": [k...], "rows": n} },
//             "runs": ["right" | "wrong" | "mixed" | "skip", ...] }
// Each run loads the page afresh, starts, answers every question it is shown ("mixed":
// right at even places of the run, wrong at odd ones; "skip": touches nothing), presses
// "Далее" each time and "Оценка" at the end. The report holds per run the question numbers
// in the order shown, the counters after each "Далее", the closing block's number, the
// pictures seen and the result text, and every script error or failed load of the page.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const plan = JSON.parse(readFileSync(process.argv[2], 'utf8'));
const profile = mkdtempSync(join(tmpdir(), 'web-test-chromium-'));
const browser = spawn(plan.chromium || '/usr/bin/chromium', [
  '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--no-default-browser-check',
  '--disable-extensions', '--lang=ru', `--user-data-dir=${profile}`, '--remote-debugging-pipe',
  'about:blank',
], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });

const errors = [];
const pending = new Map();
const waiters = [];
let nextId = 1;
let input = '';

function fail(text) {
  process.stderr.write(text + '\n');
  try { browser.kill('SIGKILL'); } catch { /* gone already */ }
  rmSync(profile, { recursive: true, force: true });
  process.exit(2);
}
const deadline = setTimeout(() => fail('the browser did not finish within 120 s'), 120000);
browser.on('error', (e) => fail(`cannot start the browser: ${e.message}`));

browser.stdio[4].on('data', (chunk) => {
  input += chunk.toString('utf8');
  for (let end; (end = input.indexOf('\0')) >= 0; input = input.slice(end + 1)) {
    const msg = JSON.parse(input.slice(0, end));
    if (msg.id && pending.has(msg.id)) {
      const { resolve, reject } = pending.get(msg.id);
      pending.delete(msg.id);
      if (msg.error) reject(new Error(JSON.stringify(msg.error)));
      else resolve(msg.result);
    } else if (msg.method) {
      onEvent(msg);
    }
  }
});

function send(method, params = {}, sessionId) {
  const id = nextId++;
  const msg = { id, method, params };
  if (sessionId) msg.sessionId = sessionId;
  browser.stdio[3].write(JSON.stringify(msg) + '\0');
  return new Promise((resolve, reject) => pending.set(id, { resolve, reject }));
}

function onEvent(msg) {
  const p = msg.params || {};
  if (msg.method === 'Runtime.exceptionThrown') {
    const d = p.exceptionDetails || {};
    errors.push(`script: ${(d.exception && d.exception.description) || d.text}`);
  } else if (msg.method === 'Runtime.consoleAPICalled' && p.type === 'error') {
    errors.push(`console: ${p.args.map((a) => a.value).join(' ')}`);
  } else if (msg.method === 'Log.entryAdded' && p.entry.level === 'error') {
    errors.push(`log: ${p.entry.text} ${p.entry.url || ''}`);
  }
  for (let k = waiters.length - 1; k >= 0; --k) {
    if (waiters[k].method === msg.method) {
      waiters[k].resolve(p);
      waiters.splice(k, 1);
    }
  }
}

const next = (method) => new Promise((resolve) => waiters.push({ method, resolve }));

// One run inside the page; returns what the learner saw.
async function takeTest(answers, mode) {
  const form = document.forms[0];
  const out = { shown: [], f: [], ff: [], images: [], closing: null, result: null };
  const shownBlock = () => [...document.querySelectorAll('div[id^="block_v"]')]
    .find((d) => getComputedStyle(d).display !== 'none');
  document.querySelector('#block_start input[type=button]').click();
  out.startHidden = getComputedStyle(document.getElementById('block_start')).display === 'none';
  out.f.push(form.f.value);
  out.ff.push(form.ff.value);
  for (let place = 0; place < 1100; ++place) {
    const block = shownBlock();
    if (!block) break;
    const i = block.id.slice('block_v'.length);
    if (!(i in answers)) {
      out.closing = Number(i);
      break;
    }
    out.shown.push(Number(i));
    for (const img of block.querySelectorAll('img')) {
      try { await img.decode(); } catch { /* reported below as not loaded */ }
      out.images.push({ i: Number(i), loaded: img.complete && img.naturalWidth > 0,
                        width: img.naturalWidth, height: img.naturalHeight });
    }
    const a = answers[i];
    const right = mode === 'right' || (mode === 'mixed' && place % 2 === 0);
    if (mode !== 'skip') {
      if (a.kind === 'typed') {
        block.querySelector('input[type=text]').value = right ? a.type : a.type + 'x';
      } else if (a.kind === 'radio') {
        const k = right ? a.right : (a.right % a.rows) + 1;
        // A lone row can be answered wrong only by leaving it unticked.
        if (right || k !== a.right) block.querySelector(`input[type=radio][value="${k}"]`).click();
      } else {
        block.querySelectorAll('input[type=checkbox]').forEach((box, idx) => {
          const tick = a.right.includes(idx + 1) === right;
          if (tick) box.click();
        });
      }
    }
    block.querySelector('input[type=button][value="Далее"]').click();
    out.f.push(form.f.value);
    out.ff.push(form.ff.value);
  }
  const mark = document.getElementById('markButton');
  out.markShown = !!mark && mark.offsetParent !== null;
  mark.click();
  out.result = document.getElementById('result').innerText;
  return out;
}

async function main() {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  for (const domain of ['Runtime', 'Page', 'Log']) await send(`${domain}.enable`, {}, sessionId);
  const runs = [];
  for (const mode of plan.runs) {
    const loaded = next('Page.loadEventFired');
    await send('Page.navigate', { url: plan.url }, sessionId);
    await loaded;
    const r = await send('Runtime.evaluate', {
      expression: `(${takeTest.toString()})(${JSON.stringify(plan.answers)}, ${JSON.stringify(mode)})`,
      awaitPromise: true, returnByValue: true,
    }, sessionId);
    if (r.exceptionDetails) errors.push(`run: ${r.exceptionDetails.exception?.description || r.exceptionDetails.text}`);
    runs.push({ mode, ...(r.result.value || {}) });
  }
  process.stdout.write(JSON.stringify({ runs, errors }) + '\n');
  clearTimeout(deadline);
  // The profile goes once the browser has let go of it.
  const exited = new Promise((resolve) => browser.on('exit', resolve));
  await send('Browser.close').catch(() => {});
  const killer = setTimeout(() => browser.kill('SIGKILL'), 10000);
  await exited;
  clearTimeout(killer);
  rmSync(profile, { recursive: true, force: true });
}

main().catch((e) => fail(String(e && e.stack || e)));
