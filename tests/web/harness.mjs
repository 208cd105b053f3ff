// What the browser tests share: a static server over build/web, headless
// Chromium from the system (puppeteer-core never downloads one), and ways to
// read the reader's page: the save record in localStorage, the page's text
// (kept inside the canvas for screen readers), its choices and screenshots.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import os from 'node:os';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const root = path.resolve(here, '../..');
export const site = process.env.LANTHORN_WEB_SITE || path.join(root, 'build/web');
export const screenshots = path.join(root, 'build/screenshots/web');
export const SAVE_FILE = 'TBV2lanthornfell.dat';
export const RECORD_SIZE = 2544;
// The save file: the record, its journal copy and the copy's check.
export const SAVE_FILE_SIZE = 2 * RECORD_SIZE + 8;
// The desktop suites' client area (a 768-pixel screen): 506 x 659, under a
// 24-pixel menu bar and beside a 17-pixel scroll bar.
export const VIEWPORT = { width: 506 + 17, height: 659 + 24 };

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.woff2': 'font/woff2',
  '.bmp': 'image/bmp',
  '.wav': 'audio/wav',
  '.ico': 'image/x-icon',
};

// Serves the site on a free port of localhost.
export async function serve(folder = site) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let file = path.join(folder, decodeURIComponent(url.pathname));
    if (!file.startsWith(folder)) file = folder;
    if (fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
    fs.readFile(file, (error, body) => {
      if (error) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
      response.end(body);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, url: `http://127.0.0.1:${server.address().port}/` };
}

export function chromiumPath() {
  for (const candidate of [process.env.CHROMIUM, '/usr/bin/chromium', '/usr/bin/chromium-browser']) {
    if (candidate && fs.existsSync(candidate)) return candidate;
  }
  throw new Error('Chromium is not installed (Debian package chromium)');
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lanthorn-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromiumPath(),
    headless: true,
    userDataDir: profile,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=user-gesture-required',
    ],
  });
  // The profile goes when the browser has gone; a file that Chromium still
  // writes as it exits may keep it a moment longer, which is no fault.
  browser.once('disconnected', () => {
    setTimeout(() => {
      try {
        fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 100 });
      } catch {
        // left for the system's temporary folder cleaning
      }
    }, 200);
  });
  return browser;
}

// A new page at the reader's size that keeps every console message and
// page error.
export async function openPage(browser) {
  const page = await browser.newPage();
  await page.setViewport(VIEWPORT);
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn' || message.type() === 'warning') {
      problems.push(`${message.type()}: ${message.text()}`);
    }
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => {
    // A picture replaced before it arrived (an icon face that changed) is
    // cancelled by the browser; that is no fault.
    if (request.failure()?.errorText !== 'net::ERR_ABORTED') problems.push(`request failed: ${request.url()}`);
  });
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`${response.status()}: ${response.url()}`);
  });
  page.problems = problems;
  return page;
}

// Goes to the reader and waits until its first page is painted (and, with
// settle, until its pictures are in).
export async function openReader(page, url, settle = true) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => performance.getEntriesByName('lanthorn-first-page').length > 0);
  if (settle) await settled(page);
}

// Waits until the pictures have loaded and the page has had a frame to
// paint. The network counts as quiet after a moment without requests; a
// request that the browser never reports as finished (a picture cancelled
// as it arrived) ends the wait after a few seconds instead.
export async function settled(page) {
  await page.waitForNetworkIdle({ idleTime: 100, timeout: 5000 }).catch(() => {});
  await page.waitForFunction(() => [...document.images].every((image) => image.complete));
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0))));
}

// The save record as bytes, or null.
export async function record(page) {
  const value = await page.evaluate((name) => localStorage.getItem(name), SAVE_FILE);
  return value === null ? null : Buffer.from(value, 'base64');
}

// The page the record keeps as the reading position.
export async function readingPosition(page) {
  const bytes = await record(page);
  return bytes === null ? null : bytes.readInt16LE(0);
}

export function item(bytes, i) {
  return { held: bytes[38 + 20 * i], value: bytes[39 + 20 * i] };
}

// A record the desktop readers would write: page, sound flag, format mark.
export function makeRecord(pageNumber, sound = 1) {
  const bytes = Buffer.alloc(RECORD_SIZE);
  bytes.writeInt16LE(pageNumber, 0);
  bytes[2] = sound;
  bytes.writeUInt32LE(176, 28);
  return bytes;
}

// Stores a record (or any text) before the reader starts: the page is
// opened once on the site's origin to reach its localStorage.
// A null value leaves no record.
export async function store(page, url, value) {
  await page.goto(`${url}assets/bitmaps.js`);
  await page.evaluate((name, text) => {
    localStorage.clear();
    if (text !== null) localStorage.setItem(name, text);
  }, SAVE_FILE, Buffer.isBuffer(value) ? value.toString('base64') : value);
}

export async function pageText(page) {
  return page.$$eval('#page-text p', (lines) => lines.map((line) => line.textContent).join('\n'));
}

// The labels of the page's choice buttons, in order (those outside the page
// area too: they are clipped out of sight but can be reached).
export async function choices(page) {
  return page.$$eval('#controls button.choice', (buttons) =>
    buttons.sort((a, b) => a.dataset.controlId - b.dataset.controlId).map((b) => b.textContent));
}

export async function screenshot(page, name, settle = true) {
  fs.mkdirSync(screenshots, { recursive: true });
  if (settle) await settled(page);
  await page.screenshot({ path: path.join(screenshots, `${name}.png`) });
}
