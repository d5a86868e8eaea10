// Timings that bench/korvel_bench asks the page for through the page driver
// (/test/driver.js). Each function returns plain numbers in milliseconds of
// the page's clock. The same page runs in the shell and in the bare engine
// of bench/bare_engine; only the shell's has `korvel`.

// The shell keeps its window hidden until the page asks; the bare engine
// maps its window when the load ends, at the same moment.
window.addEventListener('load', function() {
  if (window.korvel) korvel.show();
  benchReloadStep();
});

function benchStats(samples) {
  const sorted = samples.slice().sort(function(a, b) { return a - b; });
  const at = function(q) {
    return sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * q))];
  };
  let sum = 0;
  for (const s of samples) sum += s;
  return {n: samples.length, median: at(0.5), p90: at(0.9), p99: at(0.99),
          mean: sum / samples.length};
}

// Per-call times of a synchronous function, after a warm-up; the clock
// ticks in 0.1 ms steps, so the mean over the whole batch is kept too.
function benchSync(name, calls) {
  const call = korvel[name];
  for (let i = 0; i < 100; ++i) call();
  const samples = new Array(calls);
  const begin = performance.now();
  for (let i = 0; i < calls; ++i) {
    const start = performance.now();
    call();
    samples[i] = performance.now() - start;
  }
  const stats = benchStats(samples);
  stats.batchMean = (performance.now() - begin) / calls;
  return {stats: stats, samples: samples};
}

// Per-call times of a query, each awaited before the next.
async function benchQuery(name, calls) {
  const call = korvel[name];
  for (let i = 0; i < 50; ++i) await call();
  const samples = new Array(calls);
  for (let i = 0; i < calls; ++i) {
    const start = performance.now();
    await call();
    samples[i] = performance.now() - start;
  }
  return {stats: benchStats(samples), samples: samples};
}

// Queries one after another; mean time of the first and last `edge`.
async function benchQueryGrowth(calls, edge) {
  const samples = new Array(calls);
  let settled = 0;
  for (let i = 0; i < calls; ++i) {
    const start = performance.now();
    await (i % 2 ? korvel.isVisible() : korvel.getZoom());
    samples[i] = performance.now() - start;
    ++settled;
  }
  const mean = function(part) {
    return part.reduce(function(a, b) { return a + b; }, 0) / part.length;
  };
  // The mean of each tenth, to tell a trend from noise.
  const tenths = [];
  for (let i = 0; i < 10; ++i) {
    tenths.push(mean(samples.slice(i * calls / 10, (i + 1) * calls / 10)));
  }
  return {calls: calls, settled: settled,
          firstMs: mean(samples.slice(0, edge)),
          lastMs: mean(samples.slice(calls - edge)), tenthsMs: tenths};
}

// korvel.version() at full speed for `seconds`, in 100 ms slices that give
// the page's event loop a turn; calls per slice in the first and last second.
async function benchSyncFor(seconds) {
  const slices = [];
  const end = performance.now() + seconds * 1000;
  let total = 0;
  while (performance.now() < end) {
    const sliceEnd = performance.now() + 100;
    let calls = 0;
    while (performance.now() < sliceEnd) {
      korvel.version();
      korvel.hostname();
      calls += 2;
    }
    slices.push(calls);
    total += calls;
    await new Promise(function(resolve) { setTimeout(resolve, 0); });
  }
  const perCall = function(part) {
    const calls = part.reduce(function(a, b) { return a + b; }, 0);
    return part.length * 100 / calls;
  };
  return {calls: total, firstMs: perCall(slices.slice(0, 10)),
          lastMs: perCall(slices.slice(-10))};
}

// Hot restarts in a row, each from the call to its resolution.
async function benchRestarts(count) {
  const samples = [];
  for (let i = 0; i < count; ++i) {
    const start = performance.now();
    await korvel.restartBackend();
    samples.push(performance.now() - start);
  }
  return samples;
}

// korvel.loadApp() reloads the page, so the chain of reloads keeps its state
// in sessionStorage: each load notes the time since its loadApp call and
// starts the next until none are left.
function benchNow() {
  return performance.timeOrigin + performance.now();
}

function benchReloadStep() {
  const state = JSON.parse(sessionStorage.getItem('benchReloads') || 'null');
  if (!state || state.done) return;
  if (state.calledAt) state.samples.push(benchNow() - state.calledAt);
  if (state.samples.length === state.count) {
    state.done = true;
    sessionStorage.setItem('benchReloads', JSON.stringify(state));
    return;
  }
  // After the load event's other listeners (the shell's show), as a user's
  // reload would come.
  setTimeout(function() {
    state.calledAt = benchNow();
    sessionStorage.setItem('benchReloads', JSON.stringify(state));
    korvel.loadApp();
  }, 50);
}

// Starts `count` reloads once this command's answer has left.
function benchReloadStart(count) {
  sessionStorage.setItem('benchReloads', JSON.stringify(
      {count: count, done: false, samples: []}));
  setTimeout(benchReloadStep, 300);
  return true;
}

// The reloads' times once all are done, else null.
function benchReloadResult() {
  const state = JSON.parse(sessionStorage.getItem('benchReloads') || 'null');
  return state && state.done ? state.samples : null;
}
