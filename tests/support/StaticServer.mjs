// A static file server on 127.0.0.1 for the browser tests and benchmarks.
// Each mount maps a URL prefix to a folder; a mount may hide some of its
// files, so that a test can serve a folder as if a file were missing.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";

const Types = {
    ".html" : "text/html; charset=utf-8",
    ".js" : "text/javascript",
    ".mjs" : "text/javascript",
    ".wasm" : "application/wasm",
    ".jpg" : "image/jpeg",
    ".png" : "image/png",
    ".mp3" : "audio/mpeg",
    ".json" : "application/json",
    ".css" : "text/css",
    ".txt" : "text/plain; charset=utf-8",
};

function fileFor(mounts, urlPath)
{
    const mount = mounts.find((m) => urlPath.startsWith(m.prefix));
    if (!mount)
        return null;
    const relative = decodeURIComponent(urlPath.slice(mount.prefix.length)) || "index.html";
    if ((mount.hide || []).includes(relative))
        return null;
    const file = path.join(path.resolve(mount.dir), relative);
    return file.startsWith(path.resolve(mount.dir)) ? file : null;
}

// mounts: [{ prefix: "/", dir, hide: ["name"] }], longest prefixes first.
// Resolves to { url, close() }, url ending in "/".
export function serve(mounts)
{
    const sorted = [...mounts ].sort((a, b) => b.prefix.length - a.prefix.length);
    const server = http.createServer((request, response) => {
        const file = fileFor(sorted, new URL(request.url, "http://x").pathname);
        fs.readFile(file || "", (error, body) => {
            if (error || !file) {
                response.writeHead(404).end();
                return;
            }
            response.writeHead(200, {"Content-Type" : Types[path.extname(file)] || "application/octet-stream"});
            response.end(body);
        });
    });
    return new Promise((resolve) => {
        server.listen(0, "127.0.0.1", () => {
            resolve({
                url : `http://127.0.0.1:${server.address().port}/`,
                close : () => new Promise((done) => server.close(done)),
            });
        });
    });
}
