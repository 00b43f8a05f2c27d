// The two new front ends against the engine, side by side in one run: the page's Vigenère on
// 1,000,000 characters in headless chromium against the native engine's pipeline on the same text
// (qel_bench's VigenerePipeline/1M), and qelcrypt on 100 MB against the same benchmark's rate.
//
//   node bench/frontends.mjs BUILD_DIR
import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { launchChromium } from "../tests/web/chromium.mjs";

const build = path.resolve(process.argv[2] || "build");
// bench/Prose.h's paragraph and key.
const Paragraph =
    "Tåken lå tett over fjorden da båten la fra kaien, og måkene skrek over de grå bølgene.\r\n" +
    "Bestemor sto i døråpningen med sjalet rundt skuldrene og vinket til vi var ute av syne.\r\n" +
    "Om kvelden fyrte vi i ovnen, spiste rømmegrøt med smør og hørte regnet mot ruten.\r\n" +
    "Ingen av oss sa stort, for det trengtes ikke når alt vi ønsket oss, var her.\r\n";
const Key = "Blåbærsyltetøy";
const prose = (length) => Paragraph.repeat(Math.ceil(length / Paragraph.length)).slice(0, length);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const Runs = 7;

// The native pipeline, in characters per second and milliseconds for the million.
const report = JSON.parse(
    execFileSync(path.join(build, "bench/qel_bench"), ["--benchmark_filter=^VigenerePipeline/1M$", "--benchmark_format=json"], {
        stdio: ["ignore", "pipe", "ignore"],
    })
);
const native = report.benchmarks[0];
const nativeMs = native.real_time / (native.time_unit === "ns" ? 1e6 : native.time_unit === "us" ? 1e3 : 1);
const nativeRate = native.items_per_second;

// The page: the text pasted with "Lim inn", Krypter clicked; timed from the click until its handler is
// done and the output box holds the result.
const browser = await launchChromium();
const page = await browser.newPage();
await page.goto("file://" + path.join(build, "web/qelcrypto.html"));
await page.waitForSelector("body[data-ready=true]");
await page.type("#txtInputKey", Key);
await page.keyboard.press("Enter");
await page.evaluate((t) => navigator.clipboard.writeText(t), prose(1000000));
await page.click("#liminn");
await page.waitForFunction(() => document.querySelector("#lblAntTegn").value === "1000000");
const timings = [];
for (let run = 0; run < Runs; ++run) {
    timings.push(
        await page.evaluate(() => {
            const start = performance.now();
            document.querySelector("#krypter").click();
            return performance.now() - start;
        })
    );
}
const outputLength = await page.$eval("#txtOutput", (e) => e.value.length);
// Of that, the engine through its binding alone (a second instance of the page's engine, the text in
// and out as JavaScript strings); the rest is the page's output box taking a million characters.
const engineTimings = await page.evaluate(
    async (text, key, runs) => {
        const engine = await createQelEngine();
        engine.seed(1, 2);
        const normalised = engine.normaliseKey(key);
        const times = [];
        for (let run = 0; run < runs; ++run) {
            const start = performance.now();
            engine.encrypt(text, 1, 4, false, normalised);
            times.push(performance.now() - start);
        }
        return times;
    },
    prose(1000000), Key, Runs
);
await browser.close();
const pageMs = median(timings);
const bindingMs = median(engineTimings);

// qelcrypt on 100 MB of the same prose, read from a file and written to a pipe.
const file = path.join(os.tmpdir(), `qel-bench-${process.pid}.txt`);
const characters = Math.floor((100 * 1000 * 1000 * Paragraph.length) / Buffer.byteLength(Paragraph));
const bytes = Buffer.from(prose(characters), "utf8");
fs.writeFileSync(file, bytes);
const cliTimes = [];
for (let run = 0; run < 3; ++run) {
    const start = process.hrtime.bigint();
    const result = spawnSync(path.join(build, "cli/qelcrypt"), ["krypter", "-k", Key, "-i", file], {
        stdio: ["ignore", "ignore", "inherit"],
    });
    if (result.status !== 0) throw new Error("qelcrypt failed");
    cliTimes.push(Number(process.hrtime.bigint() - start) / 1e9);
}
fs.rmSync(file);
const cliSeconds = median(cliTimes);

const line = (name, value) => console.log(name.padEnd(58) + value);
console.log("Front ends against the engine (median of runs)");
line("native engine, Vigenère pipeline, 1,000,000 characters", `${nativeMs.toFixed(1)} ms`);
line(`page (chromium), Krypter on 1,000,000 characters, ${Runs} runs`, `${pageMs.toFixed(1)} ms  (${(pageMs / nativeMs).toFixed(2)}× native; output ${outputLength} UTF-16 units)`);
line(`  of which the engine through its binding, ${Runs} runs`, `${bindingMs.toFixed(1)} ms  (${(bindingMs / nativeMs).toFixed(2)}× native)`);
line("native engine rate", `${(nativeRate / 1e6).toFixed(1)} M characters/s`);
line(`qelcrypt krypter, ${(bytes.length / 1e6).toFixed(0)} MB UTF-8 file to a pipe, 3 runs`,
     `${cliSeconds.toFixed(2)} s  (${(bytes.length / 1e6 / cliSeconds).toFixed(1)} MB/s, ` +
     `${(characters / 1e6 / cliSeconds).toFixed(1)} M characters/s)`);
