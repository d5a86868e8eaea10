// The page's `korvel` object. The renderer runs this in every script context
// it creates; each "native function" declaration below reaches the native
// handler of the shell, and only through the member that declares it.
var korvel;
if (!korvel) {
  korvel = {
    onBeforeUnloadCallbacks: new Set(),
    onDownloadUpdatedCallbacks: new Set(),
  };
}
(function() {
  // A query sends its request at once and settles when the browser's reply
  // calls the resolve function kept in `slot`; a reply that never comes
  // rejects it after a second. A newer call of the same query takes the slot
  // over, so only its reply settles anything.
  function query(slot, send) {
    send();
    return new Promise(function(resolve, reject) {
      korvel[slot] = resolve;
      setTimeout(function() {
        if (korvel[slot] === resolve) {
          korvel[slot] = null;
          reject(new Error('timeout'));
        }
      }, 1000);
    });
  }

  korvel.onBeforeUnload = function(isReload) {
    const message = window.onbeforeunload();
    if (message) {
      korvel.onBeforeUnloadCallbacks.forEach(function(callback) {
        callback(message, isReload);
      });
    } else {
      korvel.close();
    }
    return 0;
  };
  korvel.setConf = function(key, value) {
    native function setConf(key, value);
    return setConf(key, value);
  };
  korvel.getConf = function(key) {
    native function getConf(key);
    return getConf(key);
  };
  korvel.onDownloadUpdated = function(item) {
    korvel.onDownloadUpdatedCallbacks.forEach(function(callback) {
      callback(item);
    });
  };
  korvel.launchArgs = function() {
    native function launchArgs();
    try {
      return JSON.parse(launchArgs() || '{}');
    } catch (e) {
      return "{ commandLine: '', argv: [], switches: {} }";
    }
  };
  korvel.version = function() {
    native function version();
    return version();
  };
  korvel.restartBackend = function(
      reloadUrl, expectedVersion, expectedVersionName) {
    native function restartBackend(url, version, versionName);
    restartBackend(
        reloadUrl || '', Number.isFinite(expectedVersion) ? expectedVersion : 0,
        expectedVersionName || '');
    return new Promise(function(resolve, reject) {
      korvel.restartBackendResolve = resolve;
      korvel.restartBackendReject = reject;
    });
  };
  korvel.arch = function() {
    native function arch();
    return arch();
  };
  korvel.selectAll = function() {
    native function selectAll();
    return selectAll();
  };
  korvel.copy = function() {
    native function copy();
    return copy();
  };
  korvel.paste = function() {
    native function paste();
    return paste();
  };
  korvel.cut = function() {
    native function cut();
    return cut();
  };
  korvel.undo = function() {
    native function undo();
    return undo();
  };
  korvel.redo = function() {
    native function redo();
    return redo();
  };
  korvel.hide = function() {
    native function hide();
    return hide();
  };
  korvel.show = function() {
    native function show();
    return show();
  };
  korvel.maximize = function() {
    native function maximize();
    return maximize();
  };
  korvel.minimize = function() {
    native function minimize();
    return minimize();
  };
  korvel.restore = function() {
    native function restore();
    return restore();
  };
  korvel.setAlwaysOnTop = function(v) {
    native function setAlwaysOnTop(v);
    return setAlwaysOnTop(v);
  };
  korvel.setFullscreen = function(v) {
    native function setFullscreen(v);
    return setFullscreen(v);
  };
  korvel.setSize = function(width, height) {
    native function setSize(width, height);
    return setSize(width, height);
  };
  korvel.setPoint = function(x, y) {
    native function setPoint(x, y);
    return setPoint(x, y);
  };
  korvel.setBounds = function(x, y, width, height) {
    native function setBounds(x, y, width, height);
    return setBounds(x, y, width, height);
  };
  korvel.setDragRegion = function(x, y, width, height) {
    native function setDragRegion(x, y, width, height);
    return setDragRegion(x, y, width, height);
  };
  korvel.setZoom = function(zoom) {
    native function setZoom(zoom);
    return setZoom(zoom);
  };
  korvel.getZoom = function() {
    native function getZoom();
    return query('zoomResolve', getZoom);
  };
  korvel.startNativeFileDrag = function(filePaths) {
    native function startNativeFileDrag(json);
    if (!Array.isArray(filePaths) || filePaths.length === 0) {
      return false;
    }
    const current = typeof event !== 'undefined' ? event : undefined;
    if (current) {
      try {
        current.preventDefault();
      } catch (e) {
      }
      try {
        current.stopPropagation();
      } catch (e) {
      }
      if (current.dataTransfer) {
        try {
          current.dataTransfer.clearData();
        } catch (e) {
        }
      }
    }
    return startNativeFileDrag(JSON.stringify(filePaths));
  };
  korvel.isClosed = function() {
    native function isClosed();
    return query('isClosedResolve', isClosed);
  };
  korvel.isVisible = function() {
    native function isVisible();
    return query('isVisibleResolve', isVisible);
  };
  korvel.isMinimized = function() {
    native function isMinimized();
    return query('isMinimizedResolve', isMinimized);
  };
  korvel.isMaximized = function() {
    native function isMaximized();
    return query('isMaximizedResolve', isMaximized);
  };
  korvel.isFullscreen = function() {
    native function isFullscreen();
    return query('isFullscreenResolve', isFullscreen);
  };
  korvel.isAlwaysOnTop = function() {
    native function isAlwaysOnTop();
    return query('isAlwaysOnTopResolve', isAlwaysOnTop);
  };
  korvel.onload = function() {
    native function onload();
    return onload();
  };
  korvel.selectFile = function(type, title, path, acceptFilters, callback) {
    native function selectFile(type, title, path, acceptFilters);
    korvel.selectFileCallback = callback;
    return selectFile(type, title, path, acceptFilters);
  };
  korvel.focus = function() {
    native function focus();
    return focus();
  };
  korvel.close = function() {
    native function close();
    return close();
  };
  korvel.exit = function() {
    native function exit();
    return exit();
  };
  korvel.openBrowser = function(url) {
    native function openBrowser(url);
    return openBrowser(url);
  };
  korvel.loadApp = function(url) {
    native function loadApp(url);
    return loadApp(url || '');
  };
  korvel.os = function() {
    native function os();
    return os();
  };
  korvel.hostname = function() {
    native function hostname();
    return hostname();
  };
  korvel.showDevTools = function() {
    native function showDevTools();
    return showDevTools();
  };
  korvel.setup = function() {
    native function setup();
    return setup();
  };
})();
