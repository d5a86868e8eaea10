// Renders the error page in a real browser (headless Chromium) and checks
// what it shows and what its script does.

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "client/error_page.h"
#include "gtest/gtest.h"
#include "nlohmann/json.hpp"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using engine_test::ReadFile;
using engine_test::RunForOutput;
using engine_test::TempDir;
using nlohmann::json;

// Headless Chromium's standard output, with a throw-away profile and home
// directory inside |dir|, so nothing of the real user's is read or written.
std::optional<std::string> RunChromium(const TempDir& dir,
                                       const std::vector<std::string>& args) {
  std::vector<std::string> argv = {
      "/usr/bin/env",
      "HOME=" + dir.path(),
      "XDG_CONFIG_HOME=" + dir.path() + "/config",
      "XDG_CACHE_HOME=" + dir.path() + "/cache",
      CHROMIUM_EXECUTABLE,
      "--headless",
      "--no-sandbox",
      "--disable-gpu",
      "--user-data-dir=" + dir.path() + "/profile",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-default-apps",
      "--disable-extensions",
      "--disable-sync",
      "--no-first-run",
      "--no-default-browser-check",
      "--hide-scrollbars",
      "--force-device-scale-factor=1",
  };
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string log = dir.path() + "/chromium.log";
  std::optional<std::string> out =
      RunForOutput(argv, std::chrono::seconds(90), log);
  EXPECT_TRUE(out.has_value()) << ReadFile(log);
  return out;
}

// An ImageMagick format number for |image| after |operations|.
double Measure(const TempDir& dir,
               const std::string& image,
               std::vector<std::string> operations,
               const std::string& format) {
  operations.insert(operations.begin(), {"/usr/bin/env", "convert", image});
  operations.insert(operations.end(), {"-format", format, "info:"});
  const std::optional<std::string> text = RunForOutput(
      operations, std::chrono::seconds(30), dir.path() + "/convert.log");
  char* end = nullptr;
  const double value = std::strtod(text.value_or("").c_str(), &end);
  EXPECT_TRUE(text && end != text->c_str())
      << "no number: " << text.value_or("")
      << ReadFile(dir.path() + "/convert.log");
  return value;
}

// Mean absolute red difference between a region and the same region moved
// by (dx, dy).
double ShiftDifference(const TempDir& dir,
                       const std::string& image,
                       int dx,
                       int dy) {
  const std::string size = "400x140";
  return Measure(
      dir, image,
      {"(", "-clone", "0", "-crop", size + "+0+0", "+repage", ")", "(",
       "-clone", "0", "-crop",
       size + "+" + std::to_string(dx) + "+" + std::to_string(dy), "+repage",
       ")", "-delete", "0", "-compose", "difference", "-composite"},
      "%[fx:mean.r]");
}

// Loads a host page in Chromium that fetches the error page for |reloadUrl|
// (the browser decodes the data URL), puts it in a same-origin frame with
// the script |stub| in its head, runs |driver| once the frame has loaded
// (with |frame|, |win|, |doc|, |fire| and |report| in scope) and returns
// what |report| received, or null.
json RunHostPage(const std::string& reloadUrl,
                 const std::string& stub,
                 const std::string& driver) {
  const std::string host = R"(<!DOCTYPE html><html><body>
<pre id="result">pending</pre>
<iframe id="page" style="width:800px;height:500px;border:0"></iframe>
<script>
function report(value) {
  document.getElementById("result").textContent = JSON.stringify(value)
      .replace(/[<>&]/g, (c) => "\\u00" + c.charCodeAt(0).toString(16));
}
const frame = document.getElementById("page");
fetch()" + json(BuildErrorPageUrl(reloadUrl)).dump() +
                           R"().then((r) => r.text()).then((page) => {
  frame.addEventListener("load", () => {
    const win = frame.contentWindow;
    const doc = frame.contentDocument;
    const fire = (target, type, init) => target.dispatchEvent(
        new win.MouseEvent(type, Object.assign(
            {bubbles: true, cancelable: true, view: win}, init)));
)" + driver + R"(
  }, {once: true});
  frame.srcdoc = page.replace("<head>", "<head><script>" + )" +
                           json(stub).dump() + R"( + "<\/script>");
});
</script></body></html>)";
  TempDir dir("korvel-error-page");
  const std::string file = dir.Write("host.html", host);
  const std::string out = RunChromium(dir, {"--allow-file-access-from-files",
                                            "--virtual-time-budget=2000",
                                            "--dump-dom", "file://" + file})
                              .value_or("");
  const std::string open = "<pre id=\"result\">";
  const size_t start = out.find(open);
  const size_t end = out.find("</pre>", start);
  if (start == std::string::npos || end == std::string::npos) {
    ADD_FAILURE() << "no result in: " << out.substr(0, 300);
    return nullptr;
  }
  const std::string text =
      out.substr(start + open.size(), end - start - open.size());
  return text == "pending" ? json() : json::parse(text, nullptr, false);
}

}  // namespace

// The data URL itself, loaded at the main window's size: dark background
// with thin red 45-degree stripes dimmed by the overlay, and white content
// on both sides. A blank, white, unstriped, undimmed or otherwise striped
// page fails.
TEST(ErrorPageRendering, DataUrlShowsStripedDarkPageWithContent) {
  TempDir dir("korvel-error-page");
  const std::string shot = dir.path() + "/page.png";
  ASSERT_TRUE(
      RunChromium(dir, {"--window-size=1200,685", "--screenshot=" + shot,
                        BuildErrorPageUrl("http://localhost:35580")}));
  ASSERT_EQ(Measure(dir, shot, {}, "%w"), 1200);
  ASSERT_EQ(Measure(dir, shot, {}, "%h"), 685);
  const double mean = Measure(dir, shot, {}, "%[fx:mean]");
  EXPECT_GT(mean, 0.02);
  EXPECT_LT(mean, 0.2);

  // The top band holds nothing but background: thin red lines, not a red
  // fill; a half-transparent red line is about 0.49 bright on black, under
  // the 60 % overlay about 0.2.
  const std::vector<std::string> band = {"-crop", "400x140+0+0", "+repage"};
  EXPECT_GT(Measure(dir, shot, band, "%[fx:mean.r]"), 0.004);
  EXPECT_LT(Measure(dir, shot, band, "%[fx:mean.r]"), 0.05);
  EXPECT_LT(Measure(dir, shot, band, "%[fx:mean.g+mean.b]"), 0.004);
  EXPECT_GT(Measure(dir, shot, band, "%[fx:maxima.r]"), 0.1);
  EXPECT_LT(Measure(dir, shot, band, "%[fx:maxima.r]"), 0.35);

  // Lines at 45 degrees: the band matches itself moved diagonally, not moved
  // sideways.
  const double sideways = ShiftDifference(dir, shot, 1, 0);
  EXPECT_GT(sideways, 0.005);
  EXPECT_LT(ShiftDifference(dir, shot, 1, 1), sideways / 4);

  // White text and button on the left, the big heading on the right.
  for (const auto& [crop, least] :
       {std::pair<std::string, double>{"600x685+0+0", 0.01},
        {"600x685+600+0", 0.03}}) {
    EXPECT_GT(Measure(dir, shot,
                      {"-crop", crop, "+repage", "-colorspace", "gray",
                       "-threshold", "80%"},
                      "%[fx:mean]"),
              least)
        << crop;
  }
}

// Inside the shell: the page asks to be shown at load, moves the window while
// dragged (not from the headline, not after release or with no button held),
// hands Reload to the shell with the exact URL and closes on Exit.
TEST(ErrorPageRendering, BridgeShowDragReloadAndExit) {
  const std::string reloadUrl =
      "http://localhost:35580/x?\"q\"=<\\/script>\t\xc3\xbc";
  // A recording stand-in for the shell's script object.
  const std::string stub = R"(
var calls = [];
var korvel = {
  loadApp: (url) => calls.push(["loadApp", url]),
  show: () => calls.push(["show"]),
  setBounds: (x, y, w, h) => calls.push(["setBounds", x, y, w, h]),
};
window.close = () => calls.push(["close"]);
)";
  const std::string driver = R"(
  const headline = doc.querySelector("h1");
  fire(doc.body, "mousedown",
       {clientX: 100, clientY: 50, screenX: 1100, screenY: 450, buttons: 1});
  fire(doc.body, "mousemove",
       {clientX: 130, clientY: 70, screenX: 1130, screenY: 470, buttons: 1});
  fire(doc.body, "mousemove", {screenX: 1200, screenY: 500, buttons: 0});
  fire(doc.body, "mousemove", {screenX: 1210, screenY: 510, buttons: 1});
  fire(headline, "mousedown",
       {clientX: 10, clientY: 10, screenX: 20, screenY: 20, buttons: 1});
  fire(doc.body, "mousemove", {screenX: 1300, screenY: 600, buttons: 1});
  fire(doc.body, "mousedown",
       {clientX: 5, clientY: 6, screenX: 500, screenY: 400, buttons: 1});
  fire(doc.body, "mouseup", {buttons: 0});
  fire(doc.body, "mousemove", {screenX: 600, screenY: 500, buttons: 1});
  doc.getElementById("reload-btn").click();
  doc.getElementById("exit-link").click();
  const calls = win.calls.slice();
  setTimeout(() => report({
    calls: calls,
    stayed: !!(frame.contentDocument &&
               frame.contentDocument.getElementById("reload-btn")),
  }), 500);
)";
  const json reported = RunHostPage(reloadUrl, stub, driver);
  const json expected = {
      {"calls", json::array({json::array({"show"}),
                             json::array({"setBounds", 1030, 420, 800, 500}),
                             json::array({"loadApp", reloadUrl}),
                             json::array({"close"})})},
      {"stayed", true}};
  EXPECT_EQ(reported, expected) << reported.dump();
}
