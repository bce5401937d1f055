// Drives the upload page in headless Chromium on a phone-sized screen: open it, create a folder,
// upload two files, rename one, download it and compare the bytes, delete it; a long name being
// renamed, a large upload's progress and cancel, a refused upload's message. Checks the disk after
// every step.
import { spawn } from "node:child_process";
import * as fs from "node:fs";
import { mkdtempSync, readFileSync, existsSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createInterface } from "node:readline";
import assert from "node:assert/strict";
import { chromium } from "playwright-core";

const [serverBinary, bundle] = process.argv.slice(2);
if (!serverBinary || !bundle) {
  console.error("usage: node uploader_page_test.mjs SERVER_BINARY BUNDLE");
  process.exit(2);
}

const scratch = mkdtempSync(join(tmpdir(), "uploader-page-"));
const docs = join(scratch, "Documents");
const profile = join(scratch, "profile");
const sources = join(scratch, "sources");
for (const folder of [docs, profile, sources]) fs.mkdirSync(folder, { recursive: true });

const first = Buffer.alloc(300 * 1024);
for (let i = 0; i < first.length; i++) first[i] = (i * 13) & 0xff;
const second = Buffer.from("second file, plain text\n".repeat(100));
writeFileSync(join(sources, "first clip.mp4"), first);
writeFileSync(join(sources, "second.srt"), second);
const longName = "A very long episode title that goes on and on past any phone screen, season 01 episode 01.mp4";
writeFileSync(join(sources, longName), Buffer.from("long"));
const large = Buffer.alloc(24 * 1024 * 1024, 7);
writeFileSync(join(sources, "large.mp4"), large);
writeFileSync(join(sources, ".refused.mp4"), Buffer.from("no"));

const server = spawn(serverBinary, [docs, bundle], { stdio: ["pipe", "pipe", "inherit"] });
const events = [];
const port = await new Promise((resolve, reject) => {
  const lines = createInterface({ input: server.stdout });
  lines.on("line", (line) => {
    if (line.startsWith("PORT ")) resolve(Number(line.slice(5)));
    else if (line.startsWith("EVENT ")) events.push(line.slice(6));
  });
  server.on("exit", (code) => reject(new Error(`server ended early (${code})`)));
});

const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  acceptDownloads: true,
  viewport: { width: 390, height: 844 },
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

let failed = false;
try {
  const page = context.pages()[0] || (await context.newPage());
  page.on("dialog", (dialog) => dialog.accept());
  // Every request the page makes is answered: no missing icon or file.
  const missing = [];
  page.on("response", (response) => { if (response.status() === 404) missing.push(response.url()); });
  const base = `http://127.0.0.1:${port}/`;
  await page.goto(base);
  await page.waitForSelector('body[data-listed="/"]');
  assert.equal(await page.title(), "Reelhaven");
  assert.ok(await page.isVisible("text=This folder is empty"));

  // Phone-sized screen: nothing runs off the side.
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  assert.ok(overflow <= 0, `page is ${overflow}px wider than the screen`);

  // Keyboard: the upload control and the folder field are reachable with Tab.
  const reached = [];
  for (let i = 0; i < 8; i++) {
    await page.keyboard.press("Tab");
    reached.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.ok(reached.includes("upload-button"), `Tab reached ${reached.join(", ")}`);
  assert.ok(reached.includes("folder-name"), `Tab reached ${reached.join(", ")}`);

  // Create a folder.
  await page.fill("#folder-name", "Shows");
  await page.press("#folder-name", "Enter");
  await page.waitForSelector('tr[data-name="Shows"]');
  assert.ok(fs.statSync(join(docs, "Shows")).isDirectory());

  // Upload two files at once.
  await page.setInputFiles("#file-input", [join(sources, "first clip.mp4"), join(sources, "second.srt")]);
  await page.waitForSelector('body[data-uploaded="2"]');
  await page.waitForSelector('tr[data-name="first clip.mp4"]');
  await page.waitForSelector('tr[data-name="second.srt"]');
  assert.deepEqual(readFileSync(join(docs, "first clip.mp4")), first);
  assert.deepEqual(readFileSync(join(docs, "second.srt")), second);
  assert.equal(await page.getAttribute("#progress", "aria-valuenow"), "100");

  // Rename one.
  await page.click('tr[data-name="first clip.mp4"] >> text=Rename');
  await page.fill('tr[data-name="first clip.mp4"] input', "renamed clip.mp4");
  await page.press('tr[data-name="first clip.mp4"] input', "Enter");
  await page.waitForSelector('tr[data-name="renamed clip.mp4"]');
  assert.ok(!existsSync(join(docs, "first clip.mp4")));
  assert.deepEqual(readFileSync(join(docs, "renamed clip.mp4")), first);

  // Download it and compare the bytes.
  const [download] = await Promise.all([
    page.waitForEvent("download"),
    page.click('tr[data-name="renamed clip.mp4"] a'),
  ]);
  assert.equal(download.suggestedFilename(), "renamed clip.mp4");
  assert.deepEqual(readFileSync(await download.path()), first);

  // Delete it.
  await page.click('tr[data-name="renamed clip.mp4"] >> text=Delete');
  await page.waitForSelector('tr[data-name="renamed clip.mp4"]', { state: "detached" });
  assert.ok(!existsSync(join(docs, "renamed clip.mp4")));
  assert.deepEqual(readdirSync(docs).sort(), ["Shows", "second.srt"]);

  // A refused name shows the server's message.
  await page.fill("#folder-name", ".hidden");
  await page.press("#folder-name", "Enter");
  await page.waitForSelector("#message:not([hidden])");
  assert.match(await page.textContent("#message"), /is not allowed/);
  assert.ok(!existsSync(join(docs, ".hidden")));

  // A folder whose name holds "%" and an escape-like "%20" opens as itself.
  const odd = "50% a%20b";
  await page.fill("#folder-name", odd);
  await page.press("#folder-name", "Enter");
  await page.waitForSelector(`tr[data-name="${odd}"]`);
  await page.click(`tr[data-name="${odd}"] a`);
  await page.waitForSelector(`body[data-listed="/${odd}/"]`, { timeout: 5000 });
  assert.ok(await page.isVisible("text=This folder is empty"));
  assert.ok(await page.isHidden("#message"));

  // A long name on the phone: renaming it keeps the table within the screen, its buttons in
  // sight, and the sizes are shown.
  await page.goto(base);
  await page.waitForSelector('body[data-listed="/"]');
  await page.setInputFiles("#file-input", [join(sources, longName)]);
  await page.waitForSelector('body[data-uploaded="1"]');
  const longRow = `tr[data-name="${longName}"]`;
  await page.waitForSelector(longRow);
  assert.ok(await page.isVisible(`${longRow} td.size`), "sizes are hidden");
  assert.equal((await page.textContent(`${longRow} td.size`)).trim(), "4 bytes");

  // At every phone width down to 320 px, and on wider screens, each row's buttons lie whole inside
  // their cell and the table (which clips what sticks out), and their labels inside the buttons.
  const widths = [];
  for (let width = 320; width <= 430; width++) widths.push(width);
  widths.push(576, 768, 1024);
  for (const width of widths) {
    await page.setViewportSize({ width, height: 844 });
    const cut = await page.evaluate(() => {
      const problems = [];
      const table = document.querySelector(".listing").getBoundingClientRect();
      for (const button of document.querySelectorAll("#listing td.tools .button")) {
        const box = button.getBoundingClientRect();
        const cell = button.closest("td").getBoundingClientRect();
        const row = button.closest("tr").dataset.name;
        const inside = (outer) => box.left >= outer.left - 0.5 && box.right <= outer.right + 0.5;
        if (!inside(cell) || !inside(table)) {
          problems.push(`${button.textContent} of "${row}" at ${box.left}-${box.right}, cell ${cell.left}-${cell.right}`);
        }
        if (button.scrollWidth > button.clientWidth) problems.push(`${button.textContent} of "${row}" clips its label`);
      }
      return problems;
    });
    assert.deepEqual(cut, [], `at ${width} px wide`);
    const over = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(over <= 0, `at ${width} px the page is ${over}px wider than the screen`);
  }
  await page.setViewportSize({ width: 390, height: 844 });
  await page.click(`${longRow} >> text=Rename`);
  await page.waitForSelector(`${longRow} input`);
  const widthOver = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  assert.ok(widthOver <= 0, `renaming makes the page ${widthOver}px wider than the screen`);
  for (const label of ["Rename", "Delete"]) {
    const box = await page.locator(`${longRow} >> text=${label}`).boundingBox();
    assert.ok(box && box.x >= 0 && box.x + box.width <= 390, `${label} is cut off: ${JSON.stringify(box)}`);
  }
  await page.press(`${longRow} input`, "Escape");

  // A large upload shows its percentage and speed, and can be cancelled: nothing is stored.
  const cdp = await context.newCDPSession(page);
  await cdp.send("Network.enable");
  await cdp.send("Network.emulateNetworkConditions",
                 { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: 2 * 1024 * 1024 });
  await page.setInputFiles("#file-input", [join(sources, "large.mp4")]);
  await page.waitForFunction(() => /^([1-9]|[1-9][0-9])% \u00b7 [0-9.]+ (KB|MB)\/s$/.test(
                               document.getElementById("upload-rate").textContent), null, { timeout: 30000 });
  assert.ok(await page.isVisible("#cancel-upload"));
  await page.click("#cancel-upload");
  await page.waitForSelector('body[data-cancelled="1"]');
  assert.match(await page.textContent("#upload-status"), /cancelled/);
  assert.ok(await page.isHidden("#cancel-upload"));
  await cdp.send("Network.emulateNetworkConditions",
                 { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  await page.waitForSelector('tr[data-name="large.mp4"]', { state: "detached" });
  for (let attempt = 0; attempt < 50 && existsSync(join(docs, "large.mp4")); attempt++) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.ok(!existsSync(join(docs, "large.mp4")), "a cancelled upload was stored");

  // A refused upload shows the server's message.
  await page.setInputFiles("#file-input", [join(sources, ".refused.mp4")]);
  await page.waitForSelector("#message:not([hidden])");
  assert.match(await page.textContent("#message"), /Uploaded file name .*\.refused\.mp4.* is not allowed/);
  assert.ok(!existsSync(join(docs, ".refused.mp4")));
  assert.deepEqual(missing, []);

  const wanted = ["create", "upload", "upload", "move", "download", "delete", "create", "upload"];
  for (let attempt = 0; attempt < 50 && events.length < wanted.length; attempt++) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.deepEqual(events.map((event) => event.split(" ")[0]).sort(), [...wanted].sort());
  console.log("uploader page test: passed");
} catch (error) {
  failed = true;
  console.error("uploader page test: FAILED\n", error);
} finally {
  await context.close();
  server.stdin.end();
  await new Promise((resolve) => server.on("exit", resolve));
  rmSync(scratch, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
