// Lets a test drive this page through the backend: fetches the script the
// test posted for this page's target ("main" unless the URL says
// ?target=...), runs it as the body of an async function and posts what it
// returned or threw. Events the page sees are kept in window.events.
window.events = [];

(function () {
  const target = new URLSearchParams(location.search).get('target') || 'main';
  const run = async function (code) {
    try {
      const value = await (0, eval)('(async () => {' + code + '\n})()');
      return value === undefined ? {undefined: true} : {value: value};
    } catch (e) {
      return {error: e instanceof Error ? e.message : String(e),
              errorType: e && e.constructor ? e.constructor.name : ''};
    }
  };
  const poll = async function () {
    for (;;) {
      let command = {};
      try {
        const answer = await fetch('/__page/command?target=' + target,
                                   {cache: 'no-store'});
        command = await answer.json();
      } catch (e) {
      }
      if (command.seq) {
        const outcome = await run(command.code);
        outcome.seq = command.seq;
        try {
          await fetch('/__page/result', {
            method: 'POST',
            headers: {'Content-Type': 'application/json'},
            body: JSON.stringify(outcome),
          });
        } catch (e) {
        }
      } else {
        await new Promise((resolve) => setTimeout(resolve, 20));
      }
    }
  };
  poll();
})();
