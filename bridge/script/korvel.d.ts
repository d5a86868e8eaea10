// Types of the global `korvel` object that the desktop shell gives every page
// it shows (the extension source is korvel.js beside this file). Include this
// file in a web application's TypeScript build, for example with
// `/// <reference path="korvel.d.ts" />` or through "files" in tsconfig.json.
//
// Window calls act on the shell's main window and return at once; queries
// return promises that the shell settles, or that reject with
// Error('timeout') when no answer comes within a second.

/** A download as the shell reports it on every progress step. */
interface KorvelDownloadItem {
  /** The file name the engine suggests for the download. */
  name: string;
  /** Full path of the file on disk; empty until the user has chosen it. */
  path: string;
  /** The URL the download started from, before any redirect. */
  url: string;
  /** The engine's identifier of the download, unique within one run. */
  id: number;
  /** Total size in bytes (the low 32 bits, signed, for 2 GiB and more). */
  totalBytes: number;
  /** Bytes received so far (the low 32 bits, signed, for 2 GiB and more). */
  currentBytes: number;
  /** The engine's interrupt reason; 0 when not interrupted. */
  code: number;
  /** The download is running. */
  isInProgress: boolean;
  /** The download has finished. */
  isComplete: boolean;
  /** The download was cancelled. */
  isCanceled: boolean;
  /** The download was interrupted. */
  isInterrupted: boolean;
}

/** The command line of the page's renderer process. */
interface KorvelLaunchArgs {
  /** The whole command line as one string. */
  commandLine: string;
  /** The arguments that are not switches, in order. */
  argv: string[];
  /** Every switch, name to value. */
  switches: { [name: string]: string };
}

/** What `launchArgs` returns when the shell's text is not valid JSON. */
type KorvelLaunchArgsFallback = "{ commandLine: '', argv: [], switches: {} }";

/** Kind of file dialog: 0 open a file, 1 open files, 2 choose a folder, 3 save. */
type KorvelFileDialogType = 0 | 1 | 2 | 3;

/** Receives the leave message and whether the page is being reloaded. */
type KorvelBeforeUnloadListener = (message: string, isReload: boolean) => void;

/** Receives each progress report of a download. */
type KorvelDownloadListener = (item: KorvelDownloadItem) => void;

/** Receives the chosen paths; an empty array when the dialog was cancelled. */
type KorvelSelectFileCallback = (paths: string[]) => void;

interface Korvel {
  /** Listeners asked to confirm leaving the page (filled by the page). */
  onBeforeUnloadCallbacks: Set<KorvelBeforeUnloadListener>;
  /** Listeners told about downloads (filled by the page). */
  onDownloadUpdatedCallbacks: Set<KorvelDownloadListener>;

  /** Shell's call when leaving is asked: runs window.onbeforeunload, then the listeners or close(). */
  onBeforeUnload(isReload: boolean): 0;
  /** Sets the engine preference `key` to the string `value`; throws the engine's reason when refused. */
  setConf(key: string, value: string): void;
  /** Reads the engine preference `key` as a string. */
  getConf(key: string): string;
  /** Shell's call on download progress: hands `item` to every download listener. */
  onDownloadUpdated(item: KorvelDownloadItem): void;
  /** The renderer process's command line, parsed; a fixed text when it cannot be parsed. */
  launchArgs(): KorvelLaunchArgs | KorvelLaunchArgsFallback;
  /** The installed release's version number; 505 when none is newer. */
  version(): number;
  /** Restarts the backend and reloads; rejects with the reason when the restart fails. No time-out. */
  restartBackend(reloadUrl?: string, expectedVersion?: number,
                 expectedVersionName?: string): Promise<void>;
  /** The processor architecture. */
  arch(): "amd64";
  /** Selects everything in the focused frame. */
  selectAll(): void;
  /** Copies the focused frame's selection. */
  copy(): void;
  /** Pastes into the focused frame. */
  paste(): void;
  /** Cuts the focused frame's selection. */
  cut(): void;
  /** Undoes the last edit in the focused frame. */
  undo(): void;
  /** Redoes the last undone edit in the focused frame. */
  redo(): void;
  /** Hides the window. */
  hide(): void;
  /** Shows and focuses the window, closing the loading splash. */
  show(): void;
  /** Maximises the window. */
  maximize(): void;
  /** Minimises the window. */
  minimize(): void;
  /** Restores the window from maximised or minimised. */
  restore(): void;
  /** Keeps the window above all others, or stops doing so. */
  setAlwaysOnTop(onTop: boolean): void;
  /** Enters or leaves full screen. */
  setFullscreen(fullscreen: boolean): void;
  /** Resizes the window, in pixels. */
  setSize(width: number, height: number): void;
  /** Moves the window's top-left corner to screen pixel (x, y). */
  setPoint(x: number, y: number): void;
  /** Moves and resizes the window, in screen pixels. */
  setBounds(x: number, y: number, width: number, height: number): void;
  /** Makes one rectangle of the page the area that drags the window. */
  setDragRegion(x: number, y: number, width: number, height: number): void;
  /** Sets the zoom level (0 is the default scale). */
  setZoom(zoom: number): void;
  /** The current zoom level. */
  getZoom(): Promise<number>;
  /** Cancels the current drag event and asks for a native drag of the files; false for no paths. */
  startNativeFileDrag(filePaths: readonly string[]): boolean;
  /** Whether the window is closed. */
  isClosed(): Promise<boolean>;
  /** Whether the window is visible. */
  isVisible(): Promise<boolean>;
  /** Whether the window is minimised. */
  isMinimized(): Promise<boolean>;
  /** Whether the window is maximised. */
  isMaximized(): Promise<boolean>;
  /** Whether the window is full screen. */
  isFullscreen(): Promise<boolean>;
  /** Whether the window is kept above others. */
  isAlwaysOnTop(): Promise<boolean>;
  /** Says the page is ready: closes the splash, shows and focuses the window. */
  onload(): void;
  /** Opens a file dialog; filters are comma-separated (".png", "image/*", "Images|.png;.jpg"). */
  selectFile(type: KorvelFileDialogType, title: string, path: string,
             acceptFilters: string, callback: KorvelSelectFileCallback): void;
  /** Brings the window to the front. */
  focus(): void;
  /** Closes the window; the page's leave handling may keep it open. */
  close(): void;
  /** Closes the window at once, without asking the page. */
  exit(): void;
  /** Opens `url` in the user's default browser. */
  openBrowser(url: string): void;
  /** Loads the application again behind the splash; `url` defaults to the application's. */
  loadApp(url?: string): void;
  /** The operating system. */
  os(): "linux";
  /** The computer's host name; empty when unknown. */
  hostname(): string;
  /** Opens the developer tools in a window of their own. */
  showDevTools(): void;
  /** Grants the page's address the shell's content settings (called after every load). */
  setup(): void;

  /** Resolves the newest pending getZoom(); null once answered or timed out. */
  zoomResolve?: ((zoom: number) => void) | null;
  /** Resolves the newest pending isClosed(). */
  isClosedResolve?: ((closed: boolean) => void) | null;
  /** Resolves the newest pending isVisible(). */
  isVisibleResolve?: ((visible: boolean) => void) | null;
  /** Resolves the newest pending isMinimized(). */
  isMinimizedResolve?: ((minimized: boolean) => void) | null;
  /** Resolves the newest pending isMaximized(). */
  isMaximizedResolve?: ((maximized: boolean) => void) | null;
  /** Resolves the newest pending isFullscreen(). */
  isFullscreenResolve?: ((fullscreen: boolean) => void) | null;
  /** Resolves the newest pending isAlwaysOnTop(). */
  isAlwaysOnTopResolve?: ((onTop: boolean) => void) | null;
  /** Resolves the newest pending restartBackend(); null once it has ended. */
  restartBackendResolve?: (() => void) | null;
  /** Rejects the newest pending restartBackend() with the failure. */
  restartBackendReject?: ((error: Error) => void) | null;
  /** The callback of the newest selectFile() call. */
  selectFileCallback?: KorvelSelectFileCallback;
  /** Full paths of the files in the drag that last entered the window. */
  dragFiles?: string[];
}

/** Detail of the "korvel:native-menu" window event. */
interface KorvelNativeMenuDetail {
  /** The menu action's name. */
  action: string;
}

interface WindowEventMap {
  /** A native menu action, dispatched on window. */
  "korvel:native-menu": CustomEvent<KorvelNativeMenuDetail>;
}

/** The shell's object, present in every page it shows. */
declare var korvel: Korvel;
