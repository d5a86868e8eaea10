// A page written against bridge/script/korvel.d.ts, compiled with
// `tsc --noEmit --strict`: the declaration must accept what pages write and,
// at each @ts-expect-error, refuse what the shell cannot take.

/// <reference path="../../bridge/script/korvel.d.ts" />

async function describeWindow(): Promise<string> {
  const [zoom, visible, maximized] = await Promise.all(
      [korvel.getZoom(), korvel.isVisible(), korvel.isMaximized()]);
  return `${korvel.os()}/${korvel.arch()} ${korvel.hostname()} ` +
         `v${korvel.version().toFixed(0)} zoom ${zoom.toFixed(2)}` +
         (visible ? ' visible' : '') + (maximized ? ' maximised' : '');
}

function switches(): string[] {
  const args = korvel.launchArgs();
  // The fallback is text, so a page has to tell the two apart.
  return typeof args === 'string' ? [] : Object.keys(args.switches);
}

function watchDownloads(list: HTMLElement): void {
  korvel.onDownloadUpdatedCallbacks.add((item) => {
    const percent = item.totalBytes > 0
        ? Math.round(100 * item.currentBytes / item.totalBytes) : 0;
    list.textContent = `${item.name}: ${item.isComplete ? 'done' : percent}`;
  });
  korvel.onBeforeUnloadCallbacks.add((message, isReload) => {
    if (!isReload && window.confirm(message)) korvel.exit();
  });
  window.addEventListener('korvel:native-menu', (event) => {
    list.title = event.detail.action.toUpperCase();
  });
}

function openImages(show: (paths: string[]) => void): void {
  korvel.selectFile(1, 'Open images', '', 'image/*,.svg', show);
}

async function restart(): Promise<void> {
  try {
    await korvel.restartBackend(location.href, 600, '6.0');
  } catch (error) {
    console.error((error as Error).message);
  }
  korvel.loadApp();
}

function arrange(): void {
  korvel.setBounds(0, 0, 1200, 685);
  korvel.setDragRegion(0, 0, 1200, 32);
  korvel.setZoom(0.5);
  korvel.setAlwaysOnTop(false);
  korvel.setConf('intl.accept_languages', korvel.getConf('intl.accept_languages'));
  if (korvel.dragFiles && !korvel.startNativeFileDrag(korvel.dragFiles)) {
    korvel.show();
  }
  if (korvel.zoomResolve) korvel.zoomResolve(0);
  korvel.restartBackendReject?.(new Error('stopped'));
}

// @ts-expect-error: window sizes are numbers, not text.
korvel.setSize('1200', 685);
// @ts-expect-error: a query answers with a promise, not the value.
const hidden: boolean = korvel.isMinimized();
// @ts-expect-error: the dialog type is one of four kinds.
korvel.selectFile(4, '', '', '', () => {});
// @ts-expect-error: the choice arrives as an array of paths.
korvel.selectFile(0, '', '', '', (path: number) => path);
// @ts-expect-error: download listeners receive the item, not a path.
korvel.onDownloadUpdatedCallbacks.add((path: number) => path);
// @ts-expect-error: no such member.
korvel.quit();

korvel.onload();
void describeWindow().then(console.log);
console.log(switches(), hidden);
watchDownloads(document.body);
openImages(console.log);
void restart();
arrange();
