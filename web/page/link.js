// The port selector ComboBox1 and the rule by which the device commands open
// its port: the simulator first, then the serial ports this page was granted,
// named by their adapters. At start the port used last is chosen, else the
// first granted one, else the simulator. The chosen port is opened on first
// use and kept open until "Отключить" or the choice of another port closes
// it; a lost port is reopened by the next command. A name the installer
// gives a port follows it in every label, kept by its adapter label (the
// browser tells identical programmers apart only by their place).
// `onChange` runs whenever the choice or the chosen port's state changes.
import { SimulatedPort, WebSerialPort } from './ports.js';

/** @typedef {import('./ports.js').Port} Port */

// The chosen port could not be opened; `reason` is the browser's, in our
// words; `causeCode` the core's code of it: 'busy', 'denied', 'missing' or
// 'openOther'.
export class OpenFailure extends Error {
  /**
   * @param {string} reason
   * @param {string} [causeCode]
   */
  constructor(reason, causeCode = 'openOther') {
    super(reason);
    this.name = 'OpenFailure';
    this.causeCode = causeCode;
  }
}

const lastPortKey = 'quorvex.lastPort';
const remembered = () => { try { return localStorage.getItem(lastPortKey); } catch { return null; } };
/** @param {string} label */
const remember = (label) => { try { localStorage.setItem(lastPortKey, label); } catch { /* private mode */ } };

const namesKey = 'quorvex.portNames';
/** @returns {Record<string, string>} the names given, by adapter label */
function keptNames() {
  try {
    const names = JSON.parse(localStorage.getItem(namesKey) ?? '{}');
    return names && typeof names === 'object' && !Array.isArray(names) ? names : {};
  } catch {
    return {};
  }
}

export class Link {
  // `serial` is navigator.serial, or undefined where the browser has none.
  /** @param {HTMLSelectElement} select @param {Quorvex} quorvex @param {PageTexts} texts @param {Serial} [serial] */
  constructor(select, quorvex, texts, serial) {
    this.select = select;
    this.texts = texts;
    this.quorvex = quorvex;
    this.protocol = quorvex.protocol();
    this.serial = serial;
    this.onChange = () => { /* until the page listens */ };
    this.started = false;
    this.lostLabel = '';  // the chosen port that was unplugged, until another is chosen
    this.simulator = new SimulatedPort(quorvex);
    /** @type {Map<SerialPort, WebSerialPort>} kept while granted */
    this.ports = new Map();
    /** @type {Port | null} */
    this.openPort = null;
    /** @type {Port | null} */
    this.choice = this.simulator;
    /** @type {WeakMap<Port, string>} each granted port's adapter label */
    this.adapterLabel = new WeakMap();
    /** @type {WeakMap<Port, string>} the name given to a port, while granted */
    this.names = new WeakMap();
    this.select.append(new Option(texts.simulatorPort));
    /** @type {Port[]} */
    this.choices = [this.simulator];
    if (!serial) return;
    select.addEventListener('change', () => this.chosen());
    serial.addEventListener('connect', () => this.refresh());
    serial.addEventListener('disconnect', (event) => {
      this.ports.get(/** @type {SerialPort} */ (event.target))?.markLost();
      this.refresh();
    });
  }

  // The port of the selector's entry; null when no entry is selected.
  current() { return this.choices[this.select.selectedIndex] ?? null; }

  // Lists the granted ports again, keeping the chosen one selected; a chosen
  // port that is gone leaves no entry selected.
  // `listing` is the browser's getPorts() when the caller asked for it
  // already.
  /** @param {Promise<SerialPort[]>} [listing] */
  async refresh(listing = /** @type {Serial} */ (this.serial).getPorts()) {
    const granted = await listing;
    for (const port of this.ports.keys()) if (!granted.includes(port)) this.ports.delete(port);
    const adapters = this.quorvex.adapterLabels(granted.map((port) => port.getInfo?.() ?? {}));
    const kept = keptNames();
    this.choices = [this.simulator];
    granted.forEach((port, i) => {
      let known = this.ports.get(port);
      if (!known) {
        known = new WebSerialPort(port, this.protocol.lineOptions, this.protocol.writeTimeoutMs);
        this.ports.set(port, known);
        // A port seen anew takes the name kept for its place.
        if (kept[adapters[i]]) this.names.set(known, kept[adapters[i]]);
      }
      this.adapterLabel.set(known, adapters[i]);
      this.choices.push(known);
    });
    const labels = this.choices.map((port) => this.labelOf(port));
    // The chosen port went away: the status line says so until another is chosen.
    if (this.choice && !this.choices.includes(this.choice)) this.lostLabel = this.label();
    this.select.replaceChildren(...labels.map((label) => new Option(label)));
    if (!this.started) {
      this.started = true;
      const kept = remembered();
      const last = kept === null ? -1 : labels.indexOf(kept);
      this.choice = this.choices[last >= 0 ? last : Math.min(1, granted.length)];
    }
    this.select.selectedIndex = this.choice ? this.choices.indexOf(this.choice) : -1;
    this.onChange();
  }

  // A port's label as every list and message shows it: its adapter's, with
  // the name the installer gave it.
  /** @param {Port} port */
  labelOf(port) {
    if (port === this.simulator) return this.texts.simulatorPort;
    return this.quorvex.namedPort(this.adapterLabel.get(port) ?? '', this.names.get(port) ?? '');
  }

  // Names the chosen port (an empty name takes the name away), kept for the
  // next start by its adapter label; the labels are shown again.
  /** @param {string} name */
  async nameChosen(name) {
    const port = this.current();
    if (!port || port === this.simulator) return;
    const adapter = this.adapterLabel.get(port) ?? '';
    const names = keptNames();
    if (name) {
      this.names.set(port, name);
      names[adapter] = name;
    } else {
      this.names.delete(port);
      delete names[adapter];
    }
    try { localStorage.setItem(namesKey, JSON.stringify(names)); } catch { /* private mode: for this visit only */ }
    await this.refresh();
    remember(this.label());
  }

  // The user picked an entry: it is remembered for the next start, and the
  // port left is closed.
  async chosen() {
    this.choice = this.current();
    this.lostLabel = '';
    if (this.choice) remember(this.label());
    if (this.openPort && this.openPort !== this.choice) await this.disconnect();
    this.onChange();
  }

  // "Отключить": closes the open port, waiting for its close; the next
  // command opens it again.
  async disconnect() {
    const port = this.openPort;
    this.openPort = null;
    await port?.close();
    this.onChange();
  }

  // Chooses a port of navigator.serial the browser granted (after refresh()).
  /** @param {SerialPort} port */
  async choosePort(port) {
    this.choice = this.ports.get(port) ?? this.choice;
    this.select.selectedIndex = this.choice ? this.choices.indexOf(this.choice) : -1;
    await this.chosen();
  }

  // The chosen entry's text; empty when none is chosen.
  label() { return this.select.selectedOptions[0]?.textContent ?? ''; }

  // Whether a port of the browser is open now (the simulator is no port).
  portIsOpen() { return Boolean(this.openPort && this.openPort !== this.simulator && !this.openPort.lost); }

  // Closes the open port and forgets it, so that the next command opens it
  // anew (a port whose write never completed).
  forget() {
    const port = this.openPort;
    this.openPort = null;
    port?.close();
    this.onChange();
  }

  // The chosen port, open: opens it when it is not the port opened last,
  // or when that one was lost or is stuck. Rejects with an OpenFailure.
  async ensureOpen() {
    const chosen = this.current();
    if (chosen && chosen === this.openPort && !chosen.broken) return chosen;
    await this.openPort?.close();
    this.openPort = chosen;
    if (!chosen) throw new OpenFailure(this.texts.noPortChosen, 'missing');
    try {
      await chosen.open();
      chosen.failure = null;
    } catch (error) {
      this.openPort = null;
      const { name, message } = /** @type {Error} */ (error);
      chosen.failure = this.quorvex.openFailureLine(name ?? '', message ?? '');
      throw new OpenFailure(chosen.failure, this.quorvex.openFailureCause(name ?? '', message ?? ''));
    } finally {
      this.onChange();
    }
    return chosen;
  }
}
