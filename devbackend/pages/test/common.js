// Shared by the test pages. Shows the window once the page has loaded
// (unless the URL carries "noshow", for tests of a hidden window) and keeps
// what happened where a test can read it: in window.events and, for tests
// that only see the window, in the page title.
window.events = [];

function note(text) {
  window.events.push(text);
  document.title = text;
  const log = document.getElementById('log');
  if (log) {
    const item = document.createElement('li');
    item.textContent = text;
    log.appendChild(item);
  }
}

window.addEventListener('load', () => {
  if (location.search.includes('noshow')) return;
  if (window.korvel && korvel.onload) korvel.onload();
});
