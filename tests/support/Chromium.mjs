// Debian's chromium, headless, driven through its DevTools protocol over a
// pipe (--remote-debugging-pipe: commands in on fd 3, replies and events out
// on fd 4, each message JSON ending in a NUL byte), so that no websocket and
// no package is needed. WebGL runs on SwiftShader, Chromium's own software
// renderer, since the test machines have no GPU.
import {spawn} from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import {decodePng} from "./Png.mjs";

const Flags = [
    "--headless=new",
    "--no-sandbox",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--remote-debugging-pipe",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-extensions",
    "--hide-scrollbars",
    // A page in a headless window is never in front: without these its
    // animation frames and timers would be throttled.
    "--disable-background-timer-throttling",
    "--disable-renderer-backgrounding",
    "--disable-backgrounding-occluded-windows",
];
const PollMilliseconds = 50;

function sleep(ms)
{
    return new Promise((resolve) => setTimeout(resolve, ms));
}

// The text of a console call's arguments, as the console would print them.
function consoleText(args)
{
    return args.map((arg) => (arg.value !== undefined ? String(arg.value) : arg.description || "")).join(" ");
}

class Page {
    constructor(browser, sessionId)
    {
        this.browser = browser;
        this.sessionId = sessionId;
        this.exceptions = [];   // uncaught errors and rejections, as text
        this.consoleLines = []; // "type: text"
        this.loaded = false;
        this.onScreencastFrame = null;
    }

    send(method, params = {}) { return this.browser.send(method, params, this.sessionId); }

    onEvent(method, params)
    {
        if (method === "Runtime.exceptionThrown") {
            const details = params.exceptionDetails;
            this.exceptions.push((details.exception && details.exception.description) || details.text);
        } else if (method === "Runtime.consoleAPICalled") {
            this.consoleLines.push(`${params.type}: ${consoleText(params.args)}`);
        } else if (method === "Page.loadEventFired") {
            this.loaded = true;
        } else if (method === "Page.screencastFrame") {
            this.send("Page.screencastFrameAck", {sessionId : params.sessionId}).catch(() => {});
            this.onScreencastFrame?.(decodePng(Buffer.from(params.data, "base64")), params.metadata.timestamp);
        }
    }

    // Navigates and waits for the load event.
    async open(url)
    {
        this.loaded = false;
        const {errorText} = await this.send("Page.navigate", {url});
        if (errorText)
            throw new Error(`${url}: ${errorText}`);
        await this.waitUntil(() => this.loaded, 60000, `${url} to load`);
    }

    // The value of a JavaScript expression (promises awaited); throws what it throws.
    async evaluate(expression)
    {
        const reply = await this.send("Runtime.evaluate", {expression, returnByValue : true, awaitPromise : true});
        if (reply.exceptionDetails)
            throw new Error(
                `${expression}: ${reply.exceptionDetails.exception?.description || reply.exceptionDetails.text}`);
        return reply.result.value;
    }

    async waitUntil(condition, timeoutMs, what)
    {
        for (const end = Date.now() + timeoutMs; !(await condition());) {
            if (Date.now() > end)
                throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}`);
            await sleep(PollMilliseconds);
        }
    }

    // Waits until a JavaScript expression is true.
    waitFor(expression, timeoutMs = 60000)
    {
        return this.waitUntil(() => this.evaluate(`!!(${expression})`), timeoutMs, expression);
    }

    // The page as shown, { width, height, rgba }.
    async screenshot()
    {
        const reply = await this.send("Page.captureScreenshot", {format : "png"});
        return decodePng(Buffer.from(reply.data, "base64"));
    }

    // Calls onFrame(frame, seconds) with each frame the browser shows, scaled
    // down to fit width x height, and the time it was shown, until
    // stopScreencast. The times come from the browser's compositor, so they
    // hold however late the frames reach us.
    startScreencast(onFrame, width, height)
    {
        this.onScreencastFrame = onFrame;
        return this.send("Page.startScreencast", {format : "png", maxWidth : width, maxHeight : height});
    }

    async stopScreencast()
    {
        await this.send("Page.stopScreencast");
        this.onScreencastFrame = null;
    }

    // A key pressed and released, as a keyboard would send it.
    async press(key, code, virtualKey)
    {
        const event = {key, code, windowsVirtualKeyCode : virtualKey, nativeVirtualKeyCode : virtualKey};
        await this.send("Input.dispatchKeyEvent", {type : "rawKeyDown", ...event});
        await this.send("Input.dispatchKeyEvent", {type : "keyUp", ...event});
    }

    async click(x, y)
    {
        for (const type of ["mousePressed", "mouseReleased"])
            await this.send("Input.dispatchMouseEvent", {type, x, y, button : "left", clickCount : 1});
    }
}

export class Browser {
    // Starts chromium; its window and every page are width x height. Pages
    // may play sound at once unless soundNeedsGesture, as in a browser whose
    // user has not allowed it.
    static async launch(width = 800, height = 600, {soundNeedsGesture = false} = {})
    {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), "qorx-chromium-"));
        const autoplay = soundNeedsGesture ? "document-user-activation-required" : "no-user-gesture-required";
        const child = spawn("chromium",
                            [
                                ...Flags, `--autoplay-policy=${autoplay}`, `--window-size=${width},${height}`,
                                `--user-data-dir=${profile}`, "about:blank"
                            ],
                            {stdio : [ "ignore", "ignore", "pipe", "pipe", "pipe" ]});
        const browser = new Browser(child, profile, width, height);
        await browser.send("Target.setDiscoverTargets", {discover : false});
        return browser;
    }

    constructor(child, profile, width, height)
    {
        this.child = child;
        this.profile = profile;
        this.width = width;
        this.height = height;
        this.nextId = 1;
        this.waiting = new Map();
        this.pages = new Map();
        this.stderr = "";
        this.exited = new Promise((resolve) => child.on("exit", resolve));
        child.stderr.on("data", (data) => (this.stderr = (this.stderr + data).slice(-20000)));
        let pending = Buffer.alloc(0);
        child.stdio[4].on("data", (data) => {
            pending = Buffer.concat([ pending, data ]);
            for (let end; (end = pending.indexOf(0)) >= 0; pending = pending.subarray(end + 1))
                this.receive(JSON.parse(pending.toString("utf8", 0, end)));
        });
        child.on("exit", () => {
            for (const {reject} of this.waiting.values())
                reject(new Error(`chromium exited: ${this.stderr.slice(-2000)}`));
            this.waiting.clear();
        });
    }

    receive(message)
    {
        if (message.id === undefined) {
            this.pages.get(message.sessionId)?.onEvent(message.method, message.params);
            return;
        }
        const {resolve, reject, method} = this.waiting.get(message.id);
        this.waiting.delete(message.id);
        if (message.error)
            reject(new Error(`${method}: ${message.error.message}`));
        else
            resolve(message.result);
    }

    send(method, params = {}, sessionId = undefined)
    {
        const id = this.nextId++;
        return new Promise((resolve, reject) => {
            this.waiting.set(id, {resolve, reject, method});
            this.child.stdio[3].write(JSON.stringify({id, method, params, sessionId}) + "\0");
        });
    }

    // A new tab, of the browser's size unless given, with its errors and
    // console collected.
    async newPage(width = this.width, height = this.height)
    {
        const {targetId} = await this.send("Target.createTarget", {url : "about:blank"});
        const {sessionId} = await this.send("Target.attachToTarget", {targetId, flatten : true});
        const page = new Page(this, sessionId);
        this.pages.set(sessionId, page);
        await page.send("Emulation.setDeviceMetricsOverride", {width, height, deviceScaleFactor : 1, mobile : false});
        await Promise.all([ "Page.enable", "Runtime.enable" ].map((method) => page.send(method)));
        return page;
    }

    async close()
    {
        this.send("Browser.close").catch(() => {});
        await Promise.race([ this.exited, sleep(5000) ]);
        if (this.child.exitCode === null)
            this.child.kill("SIGKILL");
        fs.rmSync(this.profile, {recursive : true, force : true});
    }
}
