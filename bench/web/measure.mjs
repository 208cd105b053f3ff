// The browser reader measured in headless Chromium (scripts/measure-readers):
// what the browser downloads to show the first page (each file gzipped at
// level 9, as a web server would send it), the time from navigation to the
// first page painted (each run in a fresh browser context with an empty
// cache), and a page turn's time (the restart page as an aside, then Return,
// as the Qt reader is measured).
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import * as h from '../../tests/web/harness.mjs';

const RUNS = 10;
const TURNS = 200;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const gzipped = (file) => zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

const { server, url } = await h.serve();
const browser = await h.launch();
try {
  // Download: the files fetched until the first page is painted and the
  // network is quiet.
  const fetched = new Set();
  const starts = [];
  for (let run = 0; run < RUNS; ++run) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(h.VIEWPORT);
    if (run === 0) {
      page.on('response', (response) => {
        if (response.status() === 200) fetched.add(new URL(response.url()).pathname);
      });
    }
    await h.openReader(page, url);
    starts.push(await page.evaluate(() => performance.getEntriesByName('lanthorn-first-page')[0].duration));
    await context.close();
  }
  let first = 0;
  const lines = [];
  for (const name of [...fetched].sort()) {
    const size = gzipped(path.join(h.site, name === '/' ? 'index.html' : name.slice(1)));
    first += size;
    lines.push(`  ${name}: ${kib(size)}`);
  }
  let all = 0;
  (function walk(folder) {
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
      const file = path.join(folder, entry.name);
      if (entry.isDirectory()) walk(file);
      else all += gzipped(file);
    }
  })(h.site);
  console.log(`download to the first page (gzip -9): ${kib(first)} in ${fetched.size} files`);
  console.log(lines.join('\n'));
  console.log(`the whole site (gzip -9, every picture and sound): ${kib(all)}`);
  console.log(`navigation to first page painted: median ${median(starts).toFixed(1)} ms over ${RUNS} cold runs`);

  // Page turns, on the story's first page.
  const page = await h.openPage(browser);
  await h.store(page, url, h.makeRecord(63));
  await h.openReader(page, url);
  const turns = await page.evaluate(async (count) => {
    const rstrt = document.querySelector('[aria-label="Rstrt"]');
    const rtrn = document.querySelector('[aria-label="Rtrn"]');
    const frame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
    performance.clearMeasures('lanthorn-event');
    const toFrame = [];
    for (let i = 0; i < count; ++i) {
      const begin = performance.now();
      (i % 2 === 0 ? rstrt : rtrn).click();
      await frame();
      toFrame.push(performance.now() - begin);
    }
    const program = performance.getEntriesByName('lanthorn-event').map((entry) => entry.duration);
    return { program, toFrame };
  }, TURNS);
  console.log(`page turn, in the program (build and paint): median ${median(turns.program).toFixed(3)} ms over ${turns.program.length} turns`);
  console.log(`page turn, click to the next frame: median ${median(turns.toFrame).toFixed(1)} ms`);
  if (page.problems.length > 0) throw new Error(page.problems.join('\n'));
} finally {
  await browser.close();
  server.close();
}
