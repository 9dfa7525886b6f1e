// The web page in headless Chromium (WebGL 2 on SwiftShader): chosen frames of every scene match
// the native program's, the music loads and plays, the whole show plays through in real time and
// ends by itself (its frame times printed), Escape ends it, and the page reports no error. Usage: node page.test.cjs PAGE-FOLDER NATIVE-PROGRAM
'use strict';
const { chromium } = require('playwright-core');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');

const [pageFolder, nativeProgram] = process.argv.slice(2);
const browserPath = process.env.LUMIFLUX_CHROMIUM || '/usr/bin/chromium';

// One moment of each scene on a 5 fps clock (as the native size checks use), written every
// 10th frame from 50 on. Tolerances: mean difference a channel (0-255) and the share of pixels
// with a channel more than 32 off. SwiftShader against llvmpipe measured here: title 0.09 /
// 0.0000, warning 0.36 / 0.0004, target 0.07 / 0, core 0.21 / 0, ring 0.14 / 0, logo 1.74 /
// 0.0004 (its glow's bilinear passes). A frame one step of that clock off differs by 21.6 /
// 0.256, colours with red and blue swapped by far more.
const frames = [
  { frame: 50, scene: 'title', mean: 0.5, share: 0.002 },
  { frame: 150, scene: 'warning', mean: 1.2, share: 0.003 },
  { frame: 280, scene: 'target', mean: 0.5, share: 0.002 },
  { frame: 420, scene: 'core', mean: 0.8, share: 0.002 },
  { frame: 530, scene: 'ring', mean: 0.5, share: 0.002 },
  { frame: 640, scene: 'logo', mean: 3.5, share: 0.004 },
];
const barMs = 240000 / 144; // a bar at 144 beats a minute
const captureQuery = '?capture&fps=5&frames=50-640&every=10&size=800x600';
// At a device pixel ratio of 2 the warning scene's field with its glow, against the native
// capture at 1600 x 1200. Measured: 0.37 / 0.0004.
const sharpFrame = { frame: 150, mean: 1.2, share: 0.003 };

const failures = [];
function check(condition, message) {
  if (!condition) failures.push(message);
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${message}`);
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : path.normalize(name));
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[path.extname(file)] || 'application/octet-stream',
    });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Console errors and uncaught exceptions of a page, each a failure.
function watchErrors(page, label) {
  page.on('pageerror', (error) => check(false, `${label}: no page error (${error.message})`));
  page.on('console', (message) => {
    if (message.type() === 'error') check(false, `${label}: no console error (${message.text()})`);
  });
}

function nativeFrames(folder) {
  execFileSync(nativeProgram, ['--capture', folder + '/', '--fps', '5', '--frames', '50-640',
                               '--every', '10'], { stdio: 'ignore' });
  execFileSync(nativeProgram, ['--capture', folder + '/sharp/', '--fps', '5', '--size', '1600x1200',
                               '--frames', `${sharpFrame.frame}-${sharpFrame.frame}`], { stdio: 'ignore' });
}

// Decodes both pictures in the page and compares them there: mean channel difference and the
// share of pixels beyond 32. The first is a file of the page's program, or a PNG as base64.
async function compare(page, browserFile, nativeBase64) {
  return page.evaluate(async ([file, native]) => {
    const pixels = async (blob) => {
      const image = await createImageBitmap(blob, { colorSpaceConversion: 'none',
                                                    premultiplyAlpha: 'none' });
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return { width: image.width, height: image.height,
               data: context.getImageData(0, 0, image.width, image.height).data };
    };
    const decoded = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const ours = await pixels(new Blob([file.startsWith('/') ? Module.FS.readFile(file) : decoded(file)]));
    const theirs = await pixels(new Blob([decoded(native)]));
    if (ours.width !== theirs.width || ours.height !== theirs.height)
      return { size: `${ours.width}x${ours.height} against ${theirs.width}x${theirs.height}` };
    let sum = 0, beyond = 0;
    for (let i = 0; i < ours.data.length; i += 4) {
      let worst = 0;
      for (let c = 0; c < 3; ++c) {
        const d = Math.abs(ours.data[i + c] - theirs.data[i + c]);
        sum += d;
        worst = Math.max(worst, d);
      }
      if (worst > 32) ++beyond;
    }
    const count = ours.data.length / 4;
    return { mean: sum / (count * 3), share: beyond / count };
  }, [browserFile, nativeBase64]);
}

async function checkFrames(browser, url, scratch) {
  const page = await browser.newPage();
  watchErrors(page, 'capture');
  const started = Date.now();
  await page.goto(url + captureQuery);
  await page.waitForFunction(() => window.lumiflux && lumiflux.exitStatus !== null, null,
                             { timeout: 15 * 60 * 1000, polling: 500 });
  const seconds = (Date.now() - started) / 1000;
  const status = await page.evaluate(() => lumiflux.exitStatus);
  check(status === 0, `capture: the page's program exits 0 (got ${status})`);
  console.log(`     641 frames drawn in ${seconds.toFixed(1)} s (${(seconds * 1000 / 641).toFixed(1)} ms a frame, loading included)`);
  for (const { frame, scene, mean, share } of frames) {
    const name = `frame_${String(frame).padStart(5, '0')}.png`;
    const native = fs.readFileSync(path.join(scratch, name)).toString('base64');
    const result = await compare(page, `/frames/${name}`, native);
    if (result.size) {
      check(false, `${scene} (frame ${frame}): sizes match (${result.size})`);
      continue;
    }
    check(result.mean <= mean && result.share <= share,
          `${scene} (frame ${frame}) matches the native frame: mean ${result.mean.toFixed(2)} <= ${mean}, ` +
          `share ${result.share.toFixed(4)} <= ${share}`);
  }
  await page.close();
}

// At a device pixel ratio of 2: the canvas's backing store is twice its size on the page while
// the show plays, and a captured frame is the native capture of that size.
async function checkSharpPage(browser, url, scratch) {
  const context = await browser.newContext({ viewport: { width: 800, height: 600 },
                                             deviceScaleFactor: 2 });
  const page = await context.newPage();
  watchErrors(page, 'sharp');
  await page.goto(`${url}?capture&fps=5&frames=${sharpFrame.frame}-${sharpFrame.frame}`);
  await page.waitForFunction(() => window.lumiflux && lumiflux.exitStatus !== null, null,
                             { timeout: 10 * 60 * 1000, polling: 500 });
  const name = `frame_${String(sharpFrame.frame).padStart(5, '0')}.png`;
  const native = fs.readFileSync(path.join(scratch, 'sharp', name)).toString('base64');
  const result = await compare(page, `/frames/${name}`, native);
  check(!result.size && result.mean <= sharpFrame.mean && result.share <= sharpFrame.share,
        `sharp: frame ${sharpFrame.frame} at twice the pixels matches the native 1600 x 1200 one: ` +
        (result.size || `mean ${result.mean.toFixed(2)} <= ${sharpFrame.mean}, share ${result.share.toFixed(4)} <= ${sharpFrame.share}`));
  await page.goto(url);
  await startPlaying(page, 'sharp');
  const canvas = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    return { width: c.width, height: c.height, cssWidth: c.clientWidth, cssHeight: c.clientHeight };
  });
  check(canvas.width === 2 * canvas.cssWidth && canvas.height === 2 * canvas.cssHeight,
        `sharp: the canvas holds twice its page size (${canvas.width} x ${canvas.height} for ${canvas.cssWidth} x ${canvas.cssHeight})`);
  // Bar 5, the title's static over the whole picture: drawn over all of the canvas, not in an
  // 800 x 600 corner of it. Measured: 0.74 of the top half's pixels lit (0.00 in the corner).
  await page.waitForFunction((ms) => lumiflux.audioTime() * 1000 > ms, 5 * barMs, { timeout: 60 * 1000 });
  const shot = (await page.screenshot()).toString('base64');
  const lit = await page.evaluate(async (png) => {
    const bytes = Uint8Array.from(atob(png), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes]));
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, image.width, image.height / 2).data;
    let count = 0;
    for (let i = 0; i < data.length; i += 4) count += data[i] + data[i + 1] + data[i + 2] > 0;
    return count / (data.length / 4);
  }, shot);
  check(lit >= 0.5, `sharp: the picture fills the canvas (${lit.toFixed(2)} of its top half lit)`);
  await context.close();
}

// The question on a machine without Japanese fonts (the browser sees DejaVu alone): drawn with
// the page's own font it differs from the same page with that font taken away, where every
// character is the empty box. Measured: 17% of the text's pixels differ by more than 32 (0% with
// the font left out of both).
async function checkQuestionFont(browser, url) {
  const shot = async (withFont) => {
    const page = await browser.newPage();
    if (!withFont) await page.route('**/question.woff', (route) => route.abort());
    await page.goto(url);
    const ask = page.locator('#ask');
    await ask.waitFor({ state: 'visible', timeout: 60 * 1000 });
    await page.evaluate(() => document.fonts.ready);
    const loaded = await page.evaluate(() => document.fonts.check('16px "Lumiflux Question"', 'フ'));
    // Both renders at the same place and size: the text from the page's top left corner.
    await page.addStyleTag({ content: '#ask { position: fixed; left: 0; top: 0; margin: 0; }' });
    const png = (await page.screenshot({ clip: { x: 0, y: 0, width: 260, height: 30 } })).toString('base64');
    return { page, png, loaded };
  };
  const own = await shot(true);
  const bare = await shot(false);
  check(own.loaded, 'question: the page\'s own font is loaded');
  const result = await compare(own.page, own.png, bare.png);
  check(!result.size && result.share >= 0.1,
        `question: its glyphs are not the empty box (${result.size || (result.share * 100).toFixed(0) + '% of pixels differ from the font-less render'})`);
  await own.page.close();
  await bare.page.close();
}

// Answers the question with "No" and waits for the music's clock to run.
async function startPlaying(page, label) {
  watchErrors(page, label);
  const no = page.locator('#no');
  await no.waitFor({ state: 'visible', timeout: 60 * 1000 });
  await page.waitForFunction(() => !document.getElementById('no').disabled);
  await no.click();
  await page.waitForFunction(() => lumiflux.audioTime() !== null, null, { timeout: 30 * 1000 });
  const first = await page.evaluate(() => lumiflux.audioTime());
  await page.waitForFunction((t) => lumiflux.audioTime() > t + 1, first, { timeout: 30 * 1000 });
  const later = await page.evaluate(() => lumiflux.audioTime());
  check(later > first + 1, `${label}: the audio clock advances (${first.toFixed(2)} s to ${later.toFixed(2)} s)`);
}

// The whole show in real time: every scene is shown, it ends by itself, and the page's own
// table of the time between frames is printed (figures, not checks: this machine's speed).
async function checkWholeShow(browser, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await startPlaying(page, 'show');
  await page.waitForFunction(() => lumiflux.exitStatus !== null, null,
                             { timeout: 10 * 60 * 1000, polling: 1000 });
  check(await page.evaluate(() => lumiflux.exitStatus) === 0, 'show: it ends by itself after its last bar');
  const table = await page.evaluate(() => lumiflux.frameTable());
  console.log(`     the page's frames shown: ${table.hitches} over 50 ms after the first second`);
  console.log('     scene     frames  median ms  p99 ms  longest');
  for (const row of table.scenes) {
    console.log(`     ${row.scene.padEnd(8)} ${String(row.frames).padStart(7)} ${row.median.toFixed(1).padStart(10)} ` +
                `${row.p99.toFixed(1).padStart(7)} ${row.longest.toFixed(1).padStart(8)}`);
  }
  console.log(`     ${table.stalls.length} over 250 ms: ` +
              table.stalls.map(({ ms, bar }) => `${Math.round(ms)} ms at bar ${bar.toFixed(1)}`).join(', '));
  check(table.scenes.every((row) => row.frames > 0), 'show: every scene is shown');
  await page.close();
}

async function checkEscape(browser, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await startPlaying(page, 'play');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => lumiflux.exitStatus !== null, null, { timeout: 30 * 1000 });
  check(await page.evaluate(() => lumiflux.exitStatus) === 0, 'play: Escape ends the show');
  await page.close();
}

async function main() {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'lumiflux-web-'));
  const server = await serve(path.resolve(pageFolder));
  const url = `http://127.0.0.1:${server.address().port}/`;
  // The browser sees DejaVu alone, as on a machine with no Japanese font.
  const fontConfig = path.join(scratch, 'fonts.conf');
  fs.writeFileSync(fontConfig, '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>' +
                   `<cachedir>${path.join(scratch, 'font-cache')}</cachedir></fontconfig>\n`);
  const browser = await chromium.launch({
    executablePath: browserPath,
    env: { ...process.env, FONTCONFIG_FILE: fontConfig },
    args: ['--headless=new', '--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader',
           '--enable-unsafe-swiftshader', '--autoplay-policy=user-gesture-required'],
  });
  try {
    nativeFrames(scratch);
    await checkFrames(browser, url, scratch);
    await checkSharpPage(browser, url, scratch);
    await checkQuestionFont(browser, url);
    await checkWholeShow(browser, url);
    await checkEscape(browser, url);
  } catch (error) {
    check(false, `no exception (${error.message})`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  console.log(failures.length ? `web: ${failures.length} check(s) failed` : 'web: all checks passed');
  process.exitCode = failures.length ? 1 : 0;
}

main();
