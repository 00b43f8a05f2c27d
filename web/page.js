"use strict";
// The page's handlers: they read the controls, call the engine and write the controls, as the main
// window's do. The engine itself is the program's C++ (createQelEngine above).

const CR = "\r";
const LF = "\n";

// A pasted text with line feeds alone gets CR LF breaks; one with any CR is taken as it is.
function normalisePastedBreaks(text) {
    if (text.includes(CR) || !text.includes(LF)) return text;
    return text.replaceAll(LF, CR + LF);
}

// A <textarea> turns every CR and CR LF into LF, so the box keeps the exact text beside it and shows
// a rendering: a CR LF pair as a line break, a lone CR as ←, a lone LF as ↓ (as the program's boxes
// show them). An edit is read back by comparing the new rendering with the old one: what is unchanged
// keeps its exact characters, and what was typed comes in with its line breaks as CR LF.
class ExactBox {
    constructor(textarea, onChange) {
        this.textarea = textarea;
        this.onChange = onChange;
        this.exact = "";
        this.shown = "";
        textarea.addEventListener("input", () => this.readEdit());
        textarea.addEventListener("copy", (event) => this.copySelection(event, false));
        textarea.addEventListener("cut", (event) => this.copySelection(event, !textarea.readOnly));
        textarea.addEventListener("paste", (event) => this.paste(event));
    }

    static render(exact) {
        let shown = "";
        let start = 0;
        for (let i = 0; i < exact.length; ++i) {
            const ch = exact[i];
            if (ch !== CR && ch !== LF) continue;
            shown += exact.slice(start, i);
            if (ch === CR && exact[i + 1] === LF) {
                shown += LF;
                ++i;
            } else {
                shown += ch === CR ? "←" : "↓";
            }
            start = i + 1;
        }
        return shown + exact.slice(start);
    }

    // Where a position of the rendering falls in the exact text.
    exactIndex(shownIndex) {
        let exactIndex = 0;
        for (let i = 0; i < shownIndex; ++i) {
            exactIndex += this.exact[exactIndex] === CR && this.exact[exactIndex + 1] === LF ? 2 : 1;
        }
        return exactIndex;
    }

    setText(exact) {
        this.exact = exact;
        this.shown = ExactBox.render(exact);
        this.textarea.value = this.shown;
        this.onChange?.();
    }

    replaceSelection(text) {
        const from = this.exactIndex(this.textarea.selectionStart);
        const to = this.exactIndex(this.textarea.selectionEnd);
        const caret = this.textarea.selectionStart + ExactBox.render(text).length;
        this.setText(this.exact.slice(0, from) + text + this.exact.slice(to));
        this.textarea.setSelectionRange(caret, caret);
    }

    readEdit() {
        const before = this.shown;
        const after = this.textarea.value;
        let prefix = 0;
        const shorter = Math.min(before.length, after.length);
        while (prefix < shorter && before[prefix] === after[prefix]) ++prefix;
        let suffix = 0;
        while (suffix < shorter - prefix && before[before.length - 1 - suffix] === after[after.length - 1 - suffix])
            ++suffix;
        const typed = after.slice(prefix, after.length - suffix).replaceAll(LF, CR + LF);
        this.exact =
            this.exact.slice(0, this.exactIndex(prefix)) + typed + this.exact.slice(this.exactIndex(before.length - suffix));
        this.shown = after;
        this.onChange?.();
    }

    copySelection(event, cut) {
        const from = this.exactIndex(this.textarea.selectionStart);
        const to = this.exactIndex(this.textarea.selectionEnd);
        event.clipboardData.setData("text/plain", this.exact.slice(from, to));
        event.preventDefault();
        if (cut) this.replaceSelection("");
    }

    paste(event) {
        event.preventDefault();
        if (this.textarea.readOnly) return;
        this.replaceSelection(normalisePastedBreaks(event.clipboardData.getData("text/plain")));
    }
}

// Characters as the engine counts them: a character outside the Basic Multilingual Plane is one.
function characterCount(text) {
    let count = text.length;
    for (let i = 0; i < text.length; ++i) {
        const unit = text.charCodeAt(i);
        if (unit >= 0xdc00 && unit <= 0xdfff && i > 0 && (text.charCodeAt(i - 1) & 0xfc00) === 0xd800) --count;
    }
    return count;
}

const Rover = 2;
const Begge = 3;
const MaxRepeatCount = 14;
const RepeatLimit = { title: "Error", text: "Grensen er 15 ganger!" };

async function start() {
    const engine = await createQelEngine();
    const seed = crypto.getRandomValues(new Uint32Array(2));
    engine.seed(seed[0], seed[1]);

    const $ = (id) => document.getElementById(id);
    const lblAntTegn = $("lblAntTegn");
    const txtInput = new ExactBox($("txtInput"), () => (lblAntTegn.value = String(characterCount(txtInput.exact))));
    const txtOutput = new ExactBox($("txtOutput"));
    const state = { cryptKey: "" };

    const selectedProtocol = () => Number(document.querySelector("input[name=protocol]:checked").value);

    // The one place that decides which controls are enabled.
    function updateEnabledStates() {
        const repeats = selectedProtocol() === Rover || selectedProtocol() === Begge;
        for (const id of ["Check1", "crypt3", "crypt10", "cryptx", "passes"]) $(id).disabled = !repeats;
    }

    function showMessages(messages) {
        const alert = $("alert");
        if (messages.length === 0) {
            alert.hidden = true;
            return;
        }
        $("alertTitle").textContent = messages.map((m) => m.title).join(", ") + ":";
        $("alertText").textContent = messages.map((m) => m.text).join(" ");
        alert.hidden = false;
        // The desktop's box cannot be missed; on a short screen or at a large zoom this could lie
        // out of sight, above or below the control that was used.
        alert.scrollIntoView({ block: "nearest" });
    }

    function encryptText(count) {
        const outcome = engine.encrypt(txtInput.exact, count, selectedProtocol(), $("Check1").checked, state.cryptKey);
        showMessages(outcome.messages);
        if (outcome.text !== null) txtOutput.setText(outcome.text);
    }

    // The key prompt, in the page: the answer, or null when cancelled.
    function askText(prompt) {
        const dialog = $("keyDialog");
        $("keyDialogTitle").textContent = prompt.title;
        $("keyDialogPrompt").textContent = prompt.prompt;
        $("keyDialogAnswer").value = prompt.answer;
        dialog.returnValue = "";
        return new Promise((resolve) => {
            dialog.addEventListener(
                "close",
                () => resolve(dialog.returnValue === "ok" ? $("keyDialogAnswer").value : null),
                { once: true }
            );
            dialog.showModal();
            $("keyDialogAnswer").select();
        });
    }

    async function dekrypter_Click() {
        const answers = [];
        for (;;) {
            const outcome = engine.decrypt(txtInput.exact, selectedProtocol(), state.cryptKey, answers);
            if (outcome.prompt === null) {
                showMessages(outcome.messages);
                if (outcome.text !== null) txtOutput.setText(outcome.text);
                return;
            }
            const answer = await askText(outcome.prompt);
            if (answer === null) return;
            answers.push(answer);
        }
    }

    function cryptx_Click() {
        const typed = $("passes").value.trim();
        if (typed === "") return;
        const count = Number(typed);
        if (!Number.isInteger(count) || count < 0 || count > MaxRepeatCount) {
            showMessages([RepeatLimit]);
            return;
        }
        encryptText(count);
    }

    // The CryptKey dialog's rules: the preview follows every keystroke; the key is taken when the
    // field is left or Enter is pressed, and an error preview is refused with its box.
    function txtInputKey_Change() {
        $("txtOutputKey").value = engine.normaliseKey($("txtInputKey").value);
    }
    function cmdOK_Click() {
        const preview = engine.normaliseKey($("txtInputKey").value);
        if (preview.startsWith("error:")) {
            showMessages([engine.invalidKey()]);
            return;
        }
        state.cryptKey = preview;
        $("keyInUse").value = preview;
        showMessages([]);
    }

    for (const option of document.querySelectorAll("input[name=protocol]"))
        option.addEventListener("change", updateEnabledStates);
    $("krypter").addEventListener("click", () => encryptText(1));
    $("crypt3").addEventListener("click", () => encryptText(3));
    $("crypt10").addEventListener("click", () => encryptText(10));
    $("cryptx").addEventListener("click", cryptx_Click);
    $("dekrypter").addEventListener("click", dekrypter_Click);
    $("kopier").addEventListener("click", () => navigator.clipboard.writeText(txtOutput.exact));
    $("liminn").addEventListener("click", async () => {
        txtInput.setText(normalisePastedBreaks(await navigator.clipboard.readText()));
    });
    $("txtInputKey").addEventListener("input", txtInputKey_Change);
    $("txtInputKey").addEventListener("change", cmdOK_Click);
    $("txtInputKey").addEventListener("keydown", (event) => {
        if (event.key === "Enter") cmdOK_Click();
    });
    // Ctrl+K and Ctrl+D, the main window's shortcuts for Krypter and Dekrypter.
    document.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.shiftKey || $("keyDialog").open) return;
        const command = { k: "krypter", d: "dekrypter" }[event.key.toLowerCase()];
        if (command === undefined) return;
        event.preventDefault();
        $(command).click();
    });

    $("txtOutputKey").value = "error: no input";
    updateEnabledStates();
    document.body.dataset.ready = "true";
    $("txtInput").focus();
}

start();
