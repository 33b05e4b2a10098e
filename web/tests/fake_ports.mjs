// Pages whose browser granted ports before (through the stand-in for
// navigator.serial in fake_serial.js), and devices behind those ports.
import { fileURLToPath } from 'node:url';
import { openPage } from './browser.mjs';

const fakeSerial = fileURLToPath(new URL('./fake_serial.js', import.meta.url));

// Before `page` loads: its browser has granted it one port for each of
// `infos` (USB vendor and product ids, as getInfo() gives them), each set as
// `settings` say (fake_serial.js's loseAfterWrites, slowWritesMs, ...).
export async function grantPorts(page, infos, settings = {}) {
  await page.addInitScript({ path: fakeSerial });
  await page.addInitScript(([list, set]) => {
    for (const info of list) window.fakeSerial.granted.push(Object.assign(window.fakeSerial.port(info), set));
  }, [infos, settings]);
}

// A page whose browser has granted it the ports of `infos` before; `options`
// go to openPage (a context to reuse, a viewport), `settings` to grantPorts.
export async function pageWithPorts(infos, options = {}, settings = {}) {
  return openPage((page) => grantPorts(page, infos, settings), options);
}

// Puts the module's simulated device behind granted port `index`.
export async function deviceBehind(page, index) {
  await page.evaluate(async (i) => {
    const quorvex = await createQuorvex();
    const device = new quorvex.SimulatedDevice();
    const port = window.fakeSerial.granted[i];
    let timer;
    const pump = () => {
      for (const emission of device.takeDue(performance.now())) port.send(emission.bytes);
      const due = device.nextDue();
      if (due >= 0) timer = setTimeout(pump, Math.max(0, due - performance.now()));
    };
    port.device = { receive(bytes) { device.receive(bytes, performance.now()); clearTimeout(timer); pump(); } };
  }, index);
}

export const ch340 = { usbVendorId: 0x1a86, usbProductId: 0x7523 };
export const ftdi = { usbVendorId: 0x0403, usbProductId: 0x6001 };
