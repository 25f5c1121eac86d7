// The page's picture and sound beside the desktop's: frames of the page,
// stopped with ?pauseAt=N, against the same frames of `qorx-demo --record`,
// and the page's decoding of the soundtrack against the recording's WAV.
// Run as: node PictureTest.mjs DIST QORX-DEMO ASSETS, under an X server for
// the recording.
import assert from "node:assert/strict";
import {execFileSync} from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import {after, before, describe, it} from "node:test";

import {decodePng} from "../support/Png.mjs";

import {brightestInColumns, difference, litShareOfColumn} from "./Frames.mjs";
import {QorxPage, shown} from "./QorxPage.mjs";

const [dist, demoProgram, assets] = process.argv.slice(2);
// Mid-way through the storm's fade-in (opacity about 0.44): the frame shows
// the opacity, the blending and the drifted texture coordinates at once.
const ComparedFrame = 120;
const SampleRate = 44100;
const ComparedSeconds = 2;

// The tolerance between WebGL on SwiftShader and Mesa's llvmpipe drawing the
// same quad: both filter the same mipmaps bilinearly, but with their own
// fixed-point weights and level choice, and split the quad into triangles
// on their own rules, so most colour values differ by a few steps and a few
// by more along sharp edges of the picture. The recording's own frame a
// twelfth of a second later, its picture drifted and a little brighter,
// already differs by more than these (the second case checks it).
const MeanBound = 1.5;
const ValueBound = 24;
const OverShareBound = 0.001;
const LaterFrame = ComparedFrame + 5;

function recordingFrame(folder, n)
{
    return decodePng(fs.readFileSync(path.join(folder, `frame-${String(n).padStart(6, "0")}.png`)));
}

// The 16-bit samples of a WAV file's data chunk.
function wavSamples(file)
{
    for (let at = 12; at + 8 <= file.length; at += 8 + file.readUInt32LE(at + 4))
        if (file.toString("latin1", at, at + 4) === "data")
            return new Int16Array(
                file.buffer.slice(file.byteOffset + at + 8, file.byteOffset + at + 8 + file.readUInt32LE(at + 4)));
    throw new Error("a WAV file without data");
}

async function pageFrame(qorx, n, width = undefined, height = undefined)
{
    const page = await qorx.open({pauseAt : n}, width, height);
    await page.waitFor(`window.qorx && qorx.frames === ${n}`);
    await shown(page);
    assert.equal(await page.evaluate("qorx.frames"), n, "frames went on past ?pauseAt");
    return {page, frame : await page.screenshot()};
}

describe("the page beside the desktop's recording", () => {
    let qorx, recording;
    before(async () => {
        recording = fs.mkdtempSync(path.join(os.tmpdir(), "qorx-web-recording-"));
        execFileSync(demoProgram, [ "--record", recording, "--frames", String(LaterFrame), "--assets", assets ]);
        qorx = await QorxPage.start(dist);
    });
    after(async () => {
        await qorx?.stop();
        fs.rmSync(recording, {recursive : true, force : true});
    });

    it("loads with no uncaught error and shows a black first frame", async () => {
        const {page, frame} = await pageFrame(qorx, 1);
        assert.deepEqual(page.exceptions, []);
        assert.equal(brightestInColumns(frame, 0, frame.width), 0);
    });

    it(`shows frame ${ComparedFrame} as the recording does, closer than its frame ${LaterFrame}`, async () => {
        const {page, frame} = await pageFrame(qorx, ComparedFrame);
        const same = difference(frame, recordingFrame(recording, ComparedFrame), ValueBound);
        const later =
            difference(recordingFrame(recording, LaterFrame), recordingFrame(recording, ComparedFrame), ValueBound);
        const report =
            `page against recording ${JSON.stringify(same)}, recording's frame ${LaterFrame} ${JSON.stringify(later)}`;
        assert.ok(same.mean <= MeanBound && same.overShare <= OverShareBound, report);
        assert.ok(later.mean > MeanBound || later.overShare > OverShareBound,
                  `the tolerance misses the drift: ${report}`);
        assert.deepEqual(page.exceptions, []);
    });

    it("letterboxes the picture in a 1280 x 720 window: 960 x 720 in the middle, black bars beside it", async () => {
        const {frame} = await pageFrame(qorx, ComparedFrame, 1280, 720);
        assert.equal(frame.width, 1280);
        assert.equal(brightestInColumns(frame, 0, 160), 0, "left bar");
        assert.equal(brightestInColumns(frame, 1120, 1280), 0, "right bar");
        for (const x of [160, 1119])
            assert.ok(litShareOfColumn(frame, x) > 0.9, `the picture's column ${x} is mostly black`);
    });

    it("decodes the soundtrack to the desktop's samples", async () => {
        const count = SampleRate * 2 * ComparedSeconds;
        const page = await qorx.open();
        await page.waitFor(`window.qorx && qorx.soundSamples(${count})?.length === ${count}`);
        const web = await page.evaluate(`Array.from(qorx.soundSamples(${count}))`);
        const desktop = wavSamples(fs.readFileSync(path.join(recording, "soundtrack.wav"))).subarray(0, count);
        // Both decoders are libmpg123 with gapless trimming: the same samples
        // bar the rounding of their synthesis filters, a step or two of 32768.
        let worst = 0;
        for (let i = 0; i < count; ++i)
            worst = Math.max(worst, Math.abs(web[i] - desktop[i]));
        assert.ok(worst <= 2, `a sample differs by ${worst}`);
    });
});
