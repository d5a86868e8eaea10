// The page side of the bridge, bridge/script/korvel.js, in Node's script
// engine: each "native function" becomes a recorder whose answers a case
// chooses, as the renderer's native handler would give them.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import test from 'node:test';
import vm from 'node:vm';

const source = fs.readFileSync(process.argv[2] || process.env.KORVEL_JS, 'utf8');

// A fresh page: a context with the extension run in it, the calls its
// native functions received, and the answers they give.
function page(answers = {}) {
  const calls = [];
  const context = vm.createContext({
    setTimeout, clearTimeout, Promise, JSON, Number, Array, Set, Error,
    window: {},
    __native(name, args) {
      calls.push({name, args: Array.from(args)});
      const answer = answers[name];
      return typeof answer === 'function' ? answer(...args) : answer;
    },
  });
  context.window = context;
  const code = source.replace(
      /native\s+function\s+(\w+)\s*\([^)]*\)\s*;/g,
      (_, name) => `function ${name}() { return __native('${name}', arguments); }`);
  vm.runInContext(code, context);
  return {korvel: context.korvel, calls, context};
}

test('the object has the 45 functions and empty listener sets', () => {
  const {korvel} = page();
  const functions = Object.keys(korvel).filter((k) => typeof korvel[k] === 'function');
  assert.equal(functions.length, 45);
  assert.equal(korvel.onBeforeUnloadCallbacks.size, 0);
  assert.equal(korvel.onDownloadUpdatedCallbacks.size, 0);
});

test('a query resolves with the reply and a late reply finds no slot', async () => {
  const {korvel, calls} = page();
  const zoom = korvel.getZoom();
  assert.deepEqual(calls, [{name: 'getZoom', args: []}]);
  korvel.zoomResolve(1.5);
  korvel.zoomResolve = null;
  assert.equal(await zoom, 1.5);
});

test('a query without a reply rejects with "timeout" after a second', async () => {
  const {korvel} = page();
  const started = Date.now();
  await assert.rejects(korvel.isVisible(), {message: 'timeout'});
  assert.ok(Date.now() - started >= 990);
  assert.equal(korvel.isVisibleResolve, null);
});

test('a second query takes the slot: the first one never settles', async () => {
  const {korvel} = page();
  let firstSettled = false;
  korvel.isMaximized().then(() => (firstSettled = true), () => (firstSettled = true));
  const second = korvel.isMaximized();
  korvel.isMaximizedResolve(true);
  korvel.isMaximizedResolve = null;
  assert.equal(await second, true);
  await new Promise((resolve) => setTimeout(resolve, 1100));
  assert.equal(firstSettled, false);
});

test('restartBackend normalises what it sends and waits without time-out', async () => {
  const {korvel, calls} = page();
  korvel.restartBackend();
  korvel.restartBackend('http://localhost:35580/', NaN, null);
  korvel.restartBackend('u', Infinity, 'n');
  korvel.restartBackend('u', '7', 'n');
  const last = korvel.restartBackend('u', 601, 'next');
  assert.deepEqual(calls.map((c) => c.args), [
    ['', 0, ''], ['http://localhost:35580/', 0, ''], ['u', 0, 'n'],
    ['u', 0, 'n'], ['u', 601, 'next'],
  ]);
  await new Promise((resolve) => setTimeout(resolve, 1100));
  korvel.restartBackendReject(new Error('backend failed to start'));
  await assert.rejects(last, {message: 'backend failed to start'});
});

test('startNativeFileDrag sends only non-empty arrays, as JSON', () => {
  const {korvel, calls} = page({startNativeFileDrag: true});
  assert.equal(korvel.startNativeFileDrag([]), false);
  assert.equal(korvel.startNativeFileDrag('/a'), false);
  assert.equal(korvel.startNativeFileDrag(['/a b/c\'d']), true);
  assert.deepEqual(calls, [{name: 'startNativeFileDrag', args: ['["/a b/c\'d"]']}]);
});

test('launchArgs parses the record, {} for nothing, the fallback text for junk', () => {
  assert.deepEqual(page({launchArgs: '{"argv":["x"]}'}).korvel.launchArgs(), {argv: ['x']});
  assert.deepEqual(page({launchArgs: ''}).korvel.launchArgs(), {});
  assert.equal(page({launchArgs: '{'}).korvel.launchArgs(),
               "{ commandLine: '', argv: [], switches: {} }");
});

test('leave prompts reach the listeners, or close the page when it has no message', () => {
  const {korvel, calls, context} = page();
  const heard = [];
  korvel.onBeforeUnloadCallbacks.add((message, isReload) => heard.push([message, isReload]));
  context.onbeforeunload = () => 'unsaved work';
  assert.equal(korvel.onBeforeUnload(true), 0);
  assert.deepEqual(heard, [['unsaved work', true]]);
  assert.deepEqual(calls, []);
  context.onbeforeunload = () => undefined;
  korvel.onBeforeUnload(false);
  assert.deepEqual(calls, [{name: 'close', args: []}]);
  // Without a handler at all the call throws and nothing is closed.
  context.onbeforeunload = null;
  assert.throws(() => korvel.onBeforeUnload(false), {name: 'TypeError'});
  assert.equal(calls.length, 1);
});

test('loadApp and selectFile pass what the page gave; the callback is kept', () => {
  const {korvel, calls} = page();
  korvel.loadApp();
  korvel.loadApp('http://localhost:35580/x');
  const callback = () => {};
  korvel.selectFile(1, 'Pick', '/tmp', '.png,.jpg', callback);
  assert.equal(korvel.selectFileCallback, callback);
  assert.deepEqual(calls.map((c) => [c.name, c.args]), [
    ['loadApp', ['']], ['loadApp', ['http://localhost:35580/x']],
    ['selectFile', [1, 'Pick', '/tmp', '.png,.jpg']],
  ]);
});

test('running the source again keeps the page\'s object and its listeners', () => {
  const {korvel, context} = page();
  const listener = () => {};
  korvel.onDownloadUpdatedCallbacks.add(listener);
  vm.runInContext(source.replace(/native\s+function\s+\w+\s*\([^)]*\)\s*;/g, ''), context);
  assert.equal(context.korvel, korvel);
  assert.ok(korvel.onDownloadUpdatedCallbacks.has(listener));
});
