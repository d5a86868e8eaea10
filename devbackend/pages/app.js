'use strict';
// The demo application. Every native function is reached through native()
// or act(), which check that the shell provides it, so the page also works
// in a plain browser.

const $ = (id) => document.getElementById(id);
const ZOOM_STEPS = [50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300];

let toastTimer = 0;
function toast(text) {
  const box = $('toast');
  box.textContent = text;
  box.classList.add('show');
  clearTimeout(toastTimer);
  toastTimer = setTimeout(() => box.classList.remove('show'), 2600);
}

// Calls korvel[name] when the shell provides it; undefined otherwise.
function native(name, ...args) {
  if (window.korvel && korvel[name]) return korvel[name](...args);
  return undefined;
}

// For a user's click: true when the shell provides korvel[name], else
// says why nothing happens.
function need(name) {
  if (window.korvel && korvel[name]) return true;
  toast('korvel.' + name + '() needs the Korvel desktop shell');
  return false;
}

// Like native(), for a user's click.
function act(name, ...args) {
  return need(name) ? native(name, ...args) : undefined;
}

// Query functions answer with promises; absent ones with a rejection.
function query(name) {
  return Promise.resolve(native(name)).then((value) => {
    if (value === undefined) throw new Error(name + ' unavailable');
    return value;
  });
}

/* Title bar */

function updateDragRegion() {
  // Everything left of the window buttons moves the window.
  const buttons = document.querySelector('.window-buttons');
  const height = $('titlebar').offsetHeight;
  native('setDragRegion', 0, 0, Math.round(buttons.offsetLeft), height);
}

function toggleMaximized() {
  if (!need('isMaximized')) return;
  query('isMaximized').then((maximized) => {
    act(maximized ? 'restore' : 'maximize');
  }).catch((error) => toast(error.message));
}

function updateMaximizeButton() {
  query('isMaximized').then((maximized) => {
    $('maximize').title = maximized ? 'Restore' : 'Maximise';
  }).catch(() => {});
}

$('maximize').addEventListener('click', toggleMaximized);
$('drag-area').addEventListener('dblclick', toggleMaximized);
window.addEventListener('resize', () => {
  updateDragRegion();
  updateMaximizeButton();
});

/* Simple buttons: data-call names a function without arguments. */

document.querySelectorAll('[data-call]').forEach((button) => {
  button.addEventListener('click', () => act(button.dataset.call));
});

/* Window */

document.querySelectorAll('[data-toggle]').forEach((button) => {
  const set = button.dataset.toggle;
  const get = button.dataset.query;
  const refresh = () => query(get)
      .then((on) => button.classList.toggle('active', on))
      .catch(() => {});
  button.addEventListener('click', () => {
    if (!need(set)) return;
    query(get).then((on) => {
      native(set, !on);
      setTimeout(refresh, 150);
    }).catch((error) => toast(error.message));
  });
  refresh();
});

$('size-default').addEventListener('click', () => act('setSize', 1200, 685));
$('size-small').addEventListener('click', () => act('setSize', 900, 560));
$('hide-briefly').addEventListener('click', () => {
  if (!need('hide') || !need('show')) return;
  native('hide');
  setTimeout(() => native('show'), 2000);
});

/* Zoom: the engine's level is a power of 1.2; people think in percent. */

const levelToPercent = (level) => Math.round(Math.pow(1.2, level) * 100);
const percentToLevel = (percent) => Math.log(percent / 100) / Math.log(1.2);

function showZoom() {
  query('getZoom')
      .then((level) => { $('zoom-value').value = levelToPercent(level) + '%'; })
      .catch(() => {});
}

function stepZoom(direction) {
  if (!need('getZoom')) return;
  query('getZoom').then((level) => {
    const current = levelToPercent(level);
    const next = direction > 0
        ? ZOOM_STEPS.find((step) => step > current) || ZOOM_STEPS.at(-1)
        : [...ZOOM_STEPS].reverse().find((step) => step < current) || ZOOM_STEPS[0];
    native('setZoom', percentToLevel(next));
    setTimeout(showZoom, 100);
  }).catch((error) => toast(error.message));
}

$('zoom-in').addEventListener('click', () => stepZoom(1));
$('zoom-out').addEventListener('click', () => stepZoom(-1));
$('zoom-reset').addEventListener('click', () => {
  act('setZoom', 0);
  setTimeout(showZoom, 100);
});

/* Developer */

$('reload-app').addEventListener('click', () => act('loadApp', ''));

/* Files */

function showPaths(paths) {
  const list = $('paths');
  list.textContent = '';
  if (!paths.length) {
    toast('Nothing chosen');
    return;
  }
  for (const path of paths) {
    const item = document.createElement('li');
    item.textContent = path;
    item.title = path;
    list.appendChild(item);
  }
}

$('open-file').addEventListener('click',
    () => act('selectFile', 0, 'Open a file', '', '', showPaths));
$('open-files').addEventListener('click', () => act(
    'selectFile', 1, 'Open files', '', 'image/*,.txt,.pdf', showPaths));
$('choose-folder').addEventListener('click',
    () => act('selectFile', 2, 'Choose a folder', '', '', showPaths));

const drop = $('drop');
drop.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  // The shell reports full paths; a plain browser only gives names.
  const fromShell = window.korvel && Array.isArray(korvel.dragFiles)
      ? korvel.dragFiles : [];
  const names = Array.from(event.dataTransfer.files, (file) => file.name);
  showPaths(fromShell.length ? fromShell : names);
});

/* Links and downloads */

$('open-external').addEventListener('click',
    () => act('openBrowser', 'https://example.com/'));

if (window.korvel && korvel.onDownloadUpdatedCallbacks) {
  korvel.onDownloadUpdatedCallbacks.add((item) => {
    const percent = item.totalBytes > 0
        ? Math.round(100 * item.currentBytes / item.totalBytes)
        : (item.isComplete ? 100 : 0);
    $('download-bar').style.width = percent + '%';
    const state = item.isComplete ? 'saved to ' + item.path
        : item.isCanceled ? 'canceled'
        : item.isInterrupted ? 'interrupted (' + item.code + ')'
        : percent + '%';
    $('download-status').textContent = item.name + ': ' + state;
  });
} else {
  $('download-status').textContent = 'Progress is reported inside the shell';
}

/* Backend */

function refreshBackend() {
  return fetch('/ready', {cache: 'no-store'})
      .then((response) => response.json())
      .then((info) => {
        $('ready-status').textContent = info.ready ? 'Ready' : 'Starting';
        $('backend-version').textContent =
            (info.version ?? '–') + ' · ' + (info.versionName || '–');
        $('backend-pill').textContent = 'backend ' + (info.versionName || info.version);
        $('backend-pill').classList.toggle('ok', !!info.ready);
      })
      .catch(() => {
        $('ready-status').textContent = 'Unreachable';
        $('backend-pill').textContent = 'backend offline';
        $('backend-pill').classList.remove('ok');
      });
}

$('hot-restart').addEventListener('click', () => {
  if (!need('restartBackend')) return;
  const status = $('restart-status');
  const pending = native('restartBackend', location.origin + '/', 0, '');
  const button = $('hot-restart');
  button.disabled = true;
  status.classList.remove('error');
  status.textContent = 'Restarting the backend…';
  pending.then(() => {
    status.textContent = 'Backend restarted';
    return refreshBackend();
  }).catch((error) => {
    status.classList.add('error');
    status.textContent = 'Restart failed: ' + error.message;
  }).finally(() => { button.disabled = false; });
});

/* About */

function showAbout() {
  const version = native('version');
  const hostname = native('hostname');
  const os = native('os');
  const arch = native('arch');
  const args = native('launchArgs');
  if (version !== undefined) $('client-version').textContent = version;
  if (hostname !== undefined) $('hostname').textContent = hostname || '(unknown)';
  if (os !== undefined) $('system').textContent = os + ' / ' + arch;
  if (args !== undefined) $('launch-args').textContent = JSON.stringify(args, null, 2);
}

/* Start */

$('plain-browser').hidden = !!window.korvel;
showAbout();
showZoom();
refreshBackend();
updateDragRegion();
updateMaximizeButton();
// The shell keeps its window hidden until the page says it is ready.
native('onload');
