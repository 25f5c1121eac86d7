// The Qorx page beside the minimal page in this folder (the three pictures
// decoded by the browser, mipmapped, one textured quad drawn by WebGL), in
// one run, each in a fresh headless chromium at 800 x 600: the time from
// navigation to the first frame drawn and the time per frame, medians over
// the runs, and the Qorx page's size as stored and as sent with gzip.
// Run as: node WebBench.mjs DIST [RUNS]
import fs from "node:fs";
import path from "node:path";
import {fileURLToPath} from "node:url";
import zlib from "node:zlib";

import {Browser} from "../../support/Chromium.mjs";
import {serve} from "../../support/StaticServer.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const [dist, runsArgument] = process.argv.slice(2);
const Runs = Number(runsArgument || 9);
// Frames measured after the first ones, which still carry the start-up.
const SkippedFrames = 30;
const MeasuredFrames = 120;
const Targets = {
    firstFrame : 1.3,
    frameTime : 1.1
};

// Put into each page before its own scripts: every WebGL draw call and every
// animation frame that draws is noted, without the page's knowledge.
const Marks = `(() => {
    const marks = (window.benchMarks = { firstDraw: null, draws: 0, frames: [] });
    const contexts = [self.WebGLRenderingContext, self.WebGL2RenderingContext].filter(Boolean);
    for (const context of contexts)
        for (const name of ["drawArrays", "drawElements"]) {
            const draw = context.prototype[name];
            context.prototype[name] = function (...args) {
                if (marks.firstDraw === null)
                    marks.firstDraw = performance.now();
                ++marks.draws;
                return draw.apply(this, args);
            };
        }
    const requestFrame = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = (callback) => requestFrame((time) => {
        const begin = performance.now(), draws = marks.draws;
        try {
            callback(time);
        } finally {
            if (marks.draws > draws)
                marks.frames.push({ at: begin, work: performance.now() - begin });
        }
    });
})();`;

function median(values)
{
    const sorted = [...values ].sort((a, b) => a - b);
    const middle = sorted.length >> 1;
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// One run of a page in a browser of its own: ms to the first draw, the
// median interval between drawn frames and the median work of a frame.
async function measure(url)
{
    const browser = await Browser.launch(800, 600);
    try {
        const page = await browser.newPage();
        await page.send("Page.addScriptToEvaluateOnNewDocument", {source : Marks});
        await page.open(url);
        await page.waitFor(`benchMarks.frames.length >= ${SkippedFrames + MeasuredFrames + 1}`, 120000);
        const marks = await page.evaluate("benchMarks");
        const frames = marks.frames.slice(SkippedFrames, SkippedFrames + MeasuredFrames + 1);
        return {
            firstFrame : marks.firstDraw,
            frameTime : median(frames.slice(1).map((frame, i) => frame.at - frames[i].at)),
            frameWork : median(frames.slice(1).map((frame) => frame.work)),
            exceptions : page.exceptions,
        };
    } finally {
        await browser.close();
    }
}

function files(folder)
{
    return fs.readdirSync(folder, {withFileTypes : true}).flatMap((entry) => {
        const file = path.join(folder, entry.name);
        return entry.isDirectory() ? files(file) : [ file ];
    });
}

function sizes(folder)
{
    let stored = 0, sent = 0, code = 0;
    for (const name of files(folder)) {
        const file = fs.readFileSync(name);
        stored += file.length;
        sent += zlib.gzipSync(file).length;
        if ([ ".js", ".wasm", ".html" ].includes(path.extname(name)))
            code += file.length;
    }
    return {stored, sent, code};
}

const server = await serve([
    {prefix : "/qorx/", dir : dist},
    {prefix : "/minimal/", dir : here},
    {prefix : "/minimal/assets/", dir : path.join(dist, "assets")},
]);
const pages = {
    minimal : `${server.url}minimal/index.html`,
    qorx : `${server.url}qorx/index.html?autostart=1`
};
const results = {
    minimal : [],
    qorx : []
};
for (let run = 0; run < Runs; ++run)
    // Alternating which goes first, so that a change in the machine's load
    // falls on both alike.
    for (const name of run % 2 ? [ "qorx", "minimal" ] : [ "minimal", "qorx" ]) {
        const result = await measure(pages[name]);
        if (result.exceptions.length)
            console.log(`${name}: uncaught ${result.exceptions.join("; ")}`);
        results[name].push(result);
    }
await server.close();

console.log(`Web pages in headless chromium (WebGL on SwiftShader), 800 x 600, medians of ${Runs} runs`);
console.log("measure                      minimal page    Qorx page    ratio  target");
for (const [measure, label] of [[ "firstFrame", "first frame (ms)" ], [ "frameTime", "frame time (ms)" ],
                                [ "frameWork", "work per frame (ms)" ]]) {
    const minimal = median(results.minimal.map((r) => r[measure]));
    const qorx = median(results.qorx.map((r) => r[measure]));
    const target = Targets[measure] ? `<= ${Targets[measure]}` : "";
    console.log(`${label.padEnd(26)} ${minimal.toFixed(2).padStart(12)} ${qorx.toFixed(2).padStart(12)} ${
        (qorx / minimal).toFixed(2).padStart(8)}  ${target}`);
}
const size = sizes(dist);
const kB = (bytes) => `${(bytes / 1024).toFixed(0)} kB`;
console.log(
    `${dist}: ${kB(size.stored)} stored, ${kB(size.sent)} sent with gzip; code (html, js, wasm) ${kB(size.code)}`);
