// The port selector ComboBox1 and the rule by which the device commands open
// its port: the simulator first, then the serial ports this page was granted,
// then the entry that asks the browser for another one. The chosen port is
// opened on first use and kept open; choosing another one makes the next
// command close the old port and open the new; a lost port is reopened by the
// next command.
import { SimulatedPort, WebSerialPort } from './ports.js';

// The chosen port could not be opened; `reason` is the browser's.
export class OpenFailure extends Error {
  constructor(reason) {
    super(reason);
    this.name = 'OpenFailure';
  }
}

const hex4 = (n) => n.toString(16).toUpperCase().padStart(4, '0');

export class Link {
  // `serial` is navigator.serial, or undefined where the browser has none.
  constructor(select, quorvex, texts, serial) {
    this.select = select;
    this.texts = texts;
    this.protocol = quorvex.protocol();
    this.serial = serial;
    this.simulator = new SimulatedPort(quorvex);
    this.ports = new Map();  // SerialPort -> WebSerialPort, kept while granted
    this.openPort = null;
    this.choice = this.simulator;
    this.select.append(new Option(texts.simulatorPort));
    this.choices = [this.simulator];
    if (!serial) return;
    this.choose = new Option(texts.choosePort);
    this.select.append(this.choose);
    select.addEventListener('change', () => this.chosen());
    serial.addEventListener('connect', () => this.refresh());
    serial.addEventListener('disconnect', (event) => {
      this.ports.get(event.target)?.markLost();
      this.refresh();
    });
  }

  // The port of the selector's entry; null when no entry is selected.
  current() { return this.choices[this.select.selectedIndex] ?? null; }

  // Lists the granted ports again, keeping the chosen one selected; a chosen
  // port that is gone leaves no entry selected.
  async refresh() {
    const granted = await this.serial.getPorts();
    for (const port of this.ports.keys()) if (!granted.includes(port)) this.ports.delete(port);
    const labels = granted.map((port) => {
      const info = port.getInfo?.() ?? {};
      return info.usbVendorId === undefined ? this.texts.serialPort
        : `${this.texts.serialPort} USB ${hex4(info.usbVendorId)}:${hex4(info.usbProductId ?? 0)}`;
    });
    const options = [new Option(this.texts.simulatorPort)];
    this.choices = [this.simulator];
    granted.forEach((port, i) => {
      if (!this.ports.has(port)) this.ports.set(port, new WebSerialPort(port, this.protocol.lineOptions, this.protocol.writeTimeoutMs));
      const twins = labels.filter((label) => label === labels[i]).length;
      const number = labels.slice(0, i + 1).filter((label) => label === labels[i]).length;
      options.push(new Option(twins > 1 ? `${labels[i]} (${number})` : labels[i]));
      this.choices.push(this.ports.get(port));
    });
    this.select.replaceChildren(...options, this.choose);
    this.select.selectedIndex = this.choices.indexOf(this.choice);
  }

  // The user picked an entry: a port, or "Выбрать порт…", which asks the
  // browser for one (with no filter: a filter of known adapters would hide
  // the clones installers use) and returns to the previous entry when the
  // user declines.
  async chosen() {
    if (this.select.selectedOptions[0] !== this.choose) {
      this.choice = this.current();
      return;
    }
    try {
      const port = await this.serial.requestPort();
      await this.refresh();
      this.choice = this.ports.get(port) ?? this.choice;
    } catch {
      // Declined: nothing changes.
    }
    this.select.selectedIndex = this.choices.indexOf(this.choice);
  }

  // Closes the open port and forgets it, so that the next command opens it
  // anew (a port whose write never completed).
  forget() {
    const port = this.openPort;
    this.openPort = null;
    port?.close();
  }

  // The chosen port, open: opens it when it is not the port opened last,
  // or when that one was lost or is stuck. Rejects with an OpenFailure.
  async ensureOpen() {
    const chosen = this.current();
    if (chosen && chosen === this.openPort && !chosen.broken) return chosen;
    await this.openPort?.close();
    this.openPort = chosen;
    if (!chosen) throw new OpenFailure(this.texts.noPortChosen);
    try {
      await chosen.open();
    } catch (error) {
      this.openPort = null;
      throw new OpenFailure(error.message);
    }
    return chosen;
  }
}
