// Renders the error page in a real browser (headless Chromium) and checks
// what it shows and what its script does.

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/error_page.h"
#include "gtest/gtest.h"
#include "nlohmann/json.hpp"
#include "tests/error_page/page_test_support.h"

namespace {

constexpr auto kBrowserTimeout = std::chrono::seconds(90);

// Runs headless Chromium with a throw-away profile and home directory inside
// `dir`, so nothing of the real user's is read or written.
CommandResult RunChromium(const TempDir& dir,
                          const std::vector<std::string>& extraArgs) {
  std::vector<std::string> argv = {
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
  argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
  return RunCommand(argv,
                    {{"HOME", dir.path()},
                     {"XDG_CONFIG_HOME", dir.path() + "/config"},
                     {"XDG_CACHE_HOME", dir.path() + "/cache"}},
                    dir.path(), kBrowserTimeout);
}

// Prints an ImageMagick format string for `image` after `operations`.
std::string Measure(const TempDir& dir,
                    const std::string& image,
                    const std::vector<std::string>& operations,
                    const std::string& format) {
  std::vector<std::string> argv = {"convert", image};
  argv.insert(argv.end(), operations.begin(), operations.end());
  argv.insert(argv.end(), {"-format", format, "info:"});
  const CommandResult result =
      RunCommand(argv, {}, dir.path(), std::chrono::seconds(30));
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  return result.output;
}

double MeasureNumber(const TempDir& dir,
                     const std::string& image,
                     const std::vector<std::string>& operations,
                     const std::string& format) {
  const std::string text = Measure(dir, image, operations, format);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  EXPECT_NE(end, text.c_str()) << "not a number: " << text;
  return value;
}

// Mean absolute red difference between a region and the same region moved
// by (dx, dy).
double ShiftDifference(const TempDir& dir,
                       const std::string& image,
                       int dx,
                       int dy) {
  const std::string size = "400x140";
  return MeasureNumber(
      dir, image,
      {"(", "-clone", "0", "-crop", size + "+0+0", "+repage", ")", "(",
       "-clone", "0", "-crop",
       size + "+" + std::to_string(dx) + "+" + std::to_string(dy), "+repage",
       ")", "-delete", "0", "-compose", "difference", "-composite"},
      "%[fx:mean.r]");
}

std::string AttributeEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A host page that loads `page` in a same-origin frame, runs `driver` once
// the frame has loaded (with `frame`, `win`, `doc`, `fire` and `report` in
// scope), and publishes what `report` receives, URI-encoded JSON, in
// #result. Reports posted by a page the frame navigates to arrive as well.
std::string HostPage(const std::string& page, const std::string& driver) {
  return R"(<!DOCTYPE html><html><body>
<pre id="result">pending</pre>
<iframe id="page" style="width:800px;height:500px;border:0"
        srcdoc=")" +
         AttributeEscape(page) + R"("></iframe>
<script>
function report(value) {
  document.getElementById("result").textContent =
      encodeURIComponent(JSON.stringify(value));
}
window.addEventListener("message", (event) => report(event.data));
const frame = document.getElementById("page");
frame.addEventListener("load", () => {
  const win = frame.contentWindow;
  const doc = frame.contentDocument;
  const fire = (target, type, init) => target.dispatchEvent(
      new win.MouseEvent(type, Object.assign(
          {bubbles: true, cancelable: true, view: win}, init)));
)" + driver +
         R"(
}, {once: true});
</script></body></html>)";
}

// Loads `host` in Chromium and returns the value the host page reported, or
// null when it reported nothing.
nlohmann::json RunHostPage(const TempDir& dir, const std::string& host) {
  const std::string file = dir.Write("host.html", host);
  const CommandResult result = RunChromium(
      dir, {"--allow-file-access-from-files", "--virtual-time-budget=2000",
            "--dump-dom", "file://" + file});
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  const std::string open = "<pre id=\"result\">";
  const size_t start = result.output.find(open);
  const size_t end = result.output.find("</pre>", start);
  if (start == std::string::npos || end == std::string::npos) {
    ADD_FAILURE() << "no result in: " << result.output.substr(0, 300);
    return nullptr;
  }
  const std::string text =
      result.output.substr(start + open.size(), end - start - open.size());
  if (text == "pending") {
    return nullptr;
  }
  const std::optional<std::string> json = PercentDecode(text);
  if (!json) {
    ADD_FAILURE() << "malformed result: " << text;
    return nullptr;
  }
  return nlohmann::json::parse(*json, nullptr, false);
}

std::string DecodedPage(const std::string& reloadUrl) {
  const std::optional<std::string> html =
      DecodeErrorPageUrl(BuildErrorPageUrl(reloadUrl));
  EXPECT_TRUE(html.has_value());
  return html.value_or(std::string());
}

}  // namespace

// The data URL itself, loaded at the main window's size: dark background
// with thin red 45-degree stripes dimmed by the overlay, and white content
// on both sides. A blank, white, unstriped or undimmed page fails.
TEST(ErrorPageRendering, DataUrlShowsStripedDarkPageWithContent) {
  TempDir dir;
  const std::string shot = dir.path() + "/page.png";
  const CommandResult run =
      RunChromium(dir, {"--window-size=1200,685", "--screenshot=" + shot,
                        BuildErrorPageUrl("http://localhost:35580")});
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_EQ(Measure(dir, shot, {}, "%w %h"), "1200 685");

  const double mean = MeasureNumber(dir, shot, {}, "%[fx:mean]");
  EXPECT_GT(mean, 0.02);
  EXPECT_LT(mean, 0.2);

  // The top band holds nothing but background.
  const std::vector<std::string> band = {"-crop", "400x140+0+0", "+repage"};
  const double red = MeasureNumber(dir, shot, band, "%[fx:mean.r]");
  const double green = MeasureNumber(dir, shot, band, "%[fx:mean.g]");
  const double blue = MeasureNumber(dir, shot, band, "%[fx:mean.b]");
  const double brightestRed = MeasureNumber(dir, shot, band, "%[fx:maxima.r]");
  EXPECT_GT(red, 0.004);  // stripes present
  EXPECT_LT(red, 0.05);   // but thin lines, not a red fill
  EXPECT_LT(green, 0.002);
  EXPECT_LT(blue, 0.002);
  // A half-transparent red line is about 0.49 bright on black; under the
  // 60 % overlay about 0.2.
  EXPECT_GT(brightestRed, 0.1);
  EXPECT_LT(brightestRed, 0.35);

  // Lines at 45 degrees: the band matches itself moved diagonally, not moved
  // sideways.
  const double diagonal = ShiftDifference(dir, shot, 1, 1);
  const double sideways = ShiftDifference(dir, shot, 1, 0);
  EXPECT_GT(sideways, 0.005);
  EXPECT_LT(diagonal, sideways / 4);

  // Every 15 px across the lines is every 15 * sqrt(2) = 21.2 px along a row:
  // count the lines crossing 424 px of one row.
  const std::string rowPixels = dir.path() + "/row.gray";
  const CommandResult dump =
      RunCommand({"convert", shot, "-crop", "424x1+0+20", "+repage", "-channel",
                  "R", "-separate", "-depth", "8", "gray:" + rowPixels},
                 {}, dir.path(), std::chrono::seconds(30));
  ASSERT_EQ(dump.exitCode, 0) << dump.errors;
  const std::string pixels = ReadFile(rowPixels);
  ASSERT_EQ(pixels.size(), 424u);
  int lines = 0;
  bool inLine = false;
  for (unsigned char value : pixels) {
    const bool lit = value > 20;
    lines += lit && !inLine;
    inLine = lit;
  }
  EXPECT_GE(lines, 18);
  EXPECT_LE(lines, 22);

  // White text and button on the left, the big heading on the right.
  const std::vector<std::string> white = {"-colorspace", "gray", "-threshold",
                                          "80%"};
  std::vector<std::string> left = {"-crop", "600x685+0+0", "+repage"};
  left.insert(left.end(), white.begin(), white.end());
  std::vector<std::string> right = {"-crop", "600x685+600+0", "+repage"};
  right.insert(right.end(), white.begin(), white.end());
  EXPECT_GT(MeasureNumber(dir, shot, left, "%[fx:mean]"), 0.01);
  EXPECT_GT(MeasureNumber(dir, shot, right, "%[fx:mean]"), 0.03);
}

// Outside the shell there is no script object: Reload replaces the page with
// the reload URL, whose own text (quotes, "<", "</script>") must survive.
TEST(ErrorPageRendering, ReloadWithoutBridgeNavigatesToReloadUrl) {
  const std::string reloadUrl =
      "data:text/html,<script>parent.postMessage(\"arrived \" + "
      "location.href, \"*\")</script>";
  TempDir dir;
  const nlohmann::json reported = RunHostPage(
      dir, HostPage(DecodedPage(reloadUrl),
                    R"(doc.getElementById("reload-btn").click();)"));
  EXPECT_EQ(reported, nlohmann::json("arrived " + reloadUrl));
}

// Without the click nothing navigates: guards the test above against passing
// for another reason.
TEST(ErrorPageRendering, NoNavigationWithoutReload) {
  const std::string reloadUrl =
      "data:text/html,<script>parent.postMessage(\"arrived\", "
      "\"*\")</script>";
  TempDir dir;
  const nlohmann::json reported = RunHostPage(
      dir, HostPage(DecodedPage(reloadUrl),
                    R"(fire(doc.body, "mousedown", {buttons: 1});)"));
  EXPECT_TRUE(reported.is_null()) << reported.dump();
}

// Inside the shell: the page asks to be shown at load, moves the window while
// dragged (not from the headline, not after release or with no button held),
// hands Reload to the shell with the exact URL and closes on Exit.
TEST(ErrorPageRendering, BridgeShowDragReloadAndExit) {
  const std::string reloadUrl =
      "http://localhost:35580/x?\"q\"=<\\/script>\t\xc3\xbc";
  std::string page = DecodedPage(reloadUrl);
  const size_t head = page.find("<head>");
  ASSERT_NE(head, std::string::npos);
  // A recording stand-in for the shell's script object.
  page.insert(head + 6, R"(<script>
var calls = [];
var korvel = {
  loadApp: (url) => calls.push(["loadApp", url]),
  show: () => calls.push(["show"]),
  setBounds: (x, y, w, h) => calls.push(["setBounds", x, y, w, h]),
};
window.close = () => calls.push(["close"]);
</script>)");
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
  TempDir dir;
  const nlohmann::json reported = RunHostPage(dir, HostPage(page, driver));
  using nlohmann::json;
  json expected = json::object();
  expected["calls"] = json::array({
      json::array({"show"}),
      json::array({"setBounds", 1030, 420, 800, 500}),
      json::array({"loadApp", reloadUrl}),
      json::array({"close"}),
  });
  expected["stayed"] = true;
  EXPECT_EQ(reported, expected) << reported.dump();
}
