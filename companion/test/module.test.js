// The module against the program's window and plintor-monitor: its actions put the lines on the
// wire, its feedbacks and variables follow the tally, its presets follow a drag, and it finds the
// program again after a restart. A recording stand-in takes Companion's part.
'use strict'

const { test } = require('node:test')
const assert = require('node:assert')
const { spawn } = require('node:child_process')
const dgram = require('node:dgram')
const fs = require('node:fs')
const os = require('node:os')
const path = require('node:path')

const { SHOW_HELPER, MONITOR_EXE, PLINTOR_DEMO } = process.env
function installed() {
	try {
		require.resolve('@companion-module/base')
		return true
	} catch {
		return false
	}
}
const missing = !SHOW_HELPER || !MONITOR_EXE || !PLINTOR_DEMO ? 'run through ctest' : !installed() ? 'npm ci in companion/ first' : false

/** Companion, as far as the module sees it: what it was given, kept as Companion keeps it. */
class Companion {
	constructor() {
		this.label = 'plintor'
		this.values = {}
		this.presets = {}
		this.variableIds = []
		this.status = null
	}
	setActionDefinitions(actions) {
		this.actions = actions
	}
	setFeedbackDefinitions(feedbacks) {
		this.feedbacks = feedbacks
	}
	setVariableDefinitions(variables) {
		this.variableIds = variables.map((v) => v.variableId)
	}
	setVariableValues(values) {
		Object.assign(this.values, values)
	}
	setPresetDefinitions(presets) {
		this.presets = presets
	}
	checkFeedbacks() {}
	updateStatus(status) {
		this.status = status
	}
	log() {}
	press(actionId, options = {}) {
		return this.actions[actionId].callback({ actionId, options })
	}
	lit(feedbackId, options = {}) {
		return this.feedbacks[feedbackId].callback({ feedbackId, options })
	}
}

async function until(what, check, ms = 10000) {
	const end = Date.now() + ms
	for (;;) {
		const value = check()
		if (value) return value
		if (Date.now() > end) assert.fail(`${what}: not within ${ms} ms`)
		await new Promise((resolve) => setTimeout(resolve, 25))
	}
}

/** A UDP port free a moment ago. */
async function freePort() {
	const socket = dgram.createSocket('udp4')
	await new Promise((resolve) => socket.bind(0, '127.0.0.1', resolve))
	const { port } = socket.address()
	await new Promise((resolve) => socket.close(resolve))
	return port
}

test('the Stream Deck page runs the show', { skip: missing }, async (t) => {
	const { Show } = require('../src/show')
	const { InstanceStatus } = require('@companion-module/base')
	const home = fs.mkdtempSync(path.join(os.tmpdir(), 'plintor-companion-'))
	const children = []
	t.after(() => {
		for (const child of children) child.kill('SIGKILL')
		fs.rmSync(home, { recursive: true, force: true })
	})

	const log = path.join(home, 'monitor.log')
	const monitor = spawn(MONITOR_EXE, ['--port', '0', '--log', log])
	children.push(monitor)
	const serverPort = await new Promise((resolve) =>
		monitor.stdout.once('data', (data) => resolve(/port (\d+)/.exec(String(data))[1])),
	)
	const lines = () => (fs.existsSync(log) ? fs.readFileSync(log, 'utf8').split('\r\n').filter(Boolean) : [])
	fs.cpSync(path.join(PLINTOR_DEMO, 'data'), path.join(home, 'data'), { recursive: true })

	const oscPort = await freePort()
	const feedbackPort = await freePort()
	const startProgram = () => {
		const program = spawn(SHOW_HELPER, [
			path.join(home, 'settings'),
			path.join(home, 'data'),
			path.join(PLINTOR_DEMO, 'studio'),
			String(oscPort),
			String(feedbackPort),
			serverPort,
		])
		children.push(program)
		program.said = ''
		program.stdout.on('data', (data) => (program.said += data))
		return program
	}
	let program = startProgram()

	const companion = new Companion()
	const show = new Show(companion)
	t.after(() => show.stop())
	await show.start({ host: '127.0.0.1', port: oscPort, feedbackPort })

	await t.test('the page is built from the running order, with titles', async () => {
		await until('link', () => companion.values.link === 'connected')
		assert.equal(companion.status, InstanceStatus.Ok)
		await until('six entries', () => companion.presets.entry_6_step_1)
		assert.equal(companion.values.entry_1_title, 'Κανάλι')
		assert.equal(companion.values.entry_3_title, 'Βραδινό δελτίο')
		assert.equal(companion.presets.entry_1_step_1.name, '1 Κανάλι: Play')
		assert.equal(companion.presets.entry_1_step_1.style.text, '$(plintor:entry_1_title)\n$(plintor:entry_1_step_1_name)')
		assert.deepEqual(companion.presets.entry_1_step_1.steps[0].down, [{ actionId: 'step_fire', options: { entry: 1, step: 1 } }])
		assert.ok(companion.variableIds.includes('entry_6_title'))
		for (const transport of ['fire', 'preview', 'move_down', 'clear', 'channel_1', 'link'])
			assert.equal(companion.presets[transport].category, 'Transport')
	})

	await t.test('actions put the lines on the wire and the tally comes back', async () => {
		companion.press('step_fire', { entry: 1, step: 1 })
		await until('the logo on air', () => lines().some((l) => l.startsWith('CG 1-30 ADD')))
		await until('its tally', () => companion.lit('step_onair', { entry: 1, step: 1 }))
		assert.equal(companion.lit('step_onair', { entry: 2, step: 1 }), false)
		await until('on air on 1', () => companion.values.onair_1 === 'Κανάλι')

		companion.press('cue_goto', { entry: 3, step: 1 })
		await until('the cue', () => companion.values.cue_title === 'Βραδινό δελτίο')
		assert.ok(companion.lit('cue', { entry: 3, step: 1 }))
		companion.press('cue_move', { move: 'up' })
		await until('the cue moved', () => companion.values.cue_entry === '2')
		const sent = lines().length
		companion.press('cue_preview')
		await until('a preview line', () => lines().length > sent)
		await until('its tally', () => companion.lit('step_preview', { entry: 2, step: 1 }))

		companion.press('channel_clear', { channel: 1 })
		await until('the clear', () => lines().at(-1) === 'CLEAR 1')
		await until('off air', () => !companion.lit('step_onair', { entry: 1, step: 1 }))
		assert.equal(companion.values.onair_1, '')
	})

	await t.test('presets and variables follow a drag', async () => {
		program.stdin.write('drag 1 3\n')
		await until('the drag', () => program.said.includes('done drag 1 3'))
		await until('titles moved', () => companion.values.entry_3_title === 'Κανάλι')
		assert.equal(companion.values.entry_1_title, 'Morning show')
		await until('presets rebuilt', () => companion.presets.entry_3_step_1?.name === '3 Κανάλι: Play')
		assert.equal(companion.presets.entry_1_step_1.name, '1 Morning show: Play')
	})

	await t.test('the program goes and comes back', async () => {
		program.kill('SIGKILL')
		await until('gone', () => companion.status === InstanceStatus.ConnectionFailure)
		assert.equal(companion.values.link, 'program not running')
		assert.equal(companion.lit('link'), false)
		companion.values = {}
		program = startProgram()
		await until('back', () => companion.status === InstanceStatus.Ok && companion.values.link === 'connected')
		await until('the tally again', () => companion.values.entry_3_title === 'Κανάλι') // the drag was kept
		const sent = lines().length
		companion.press('step_fire', { entry: 3, step: 1 })
		await until('fired again', () => lines().slice(sent).some((l) => l.startsWith('CG 1-30 ADD')))
	})
})

test('the manifest is one Companion loads', { skip: missing }, () => {
	const Ajv = require('ajv')
	const schema = require('@companion-module/base/assets/manifest.schema.json')
	const manifest = require('../companion/manifest.json')
	const validate = new Ajv({ strict: false }).compile(schema)
	assert.ok(validate(manifest), JSON.stringify(validate.errors))
	assert.equal(manifest.runtime.type, 'node18')
	assert.ok(fs.existsSync(path.join(__dirname, '..', 'companion', manifest.runtime.entrypoint)))
})

test('a tally port another program holds is said, not waited on', { skip: missing }, async () => {
	const { Show } = require('../src/show')
	const { InstanceStatus } = require('@companion-module/base')
	const holder = dgram.createSocket('udp4')
	await new Promise((resolve) => holder.bind(0, '0.0.0.0', resolve))
	const companion = new Companion()
	const show = new Show(companion)
	await show.start({ host: '127.0.0.1', port: 9, feedbackPort: holder.address().port })
	assert.equal(companion.status, InstanceStatus.BadConfig)
	show.stop()
	holder.close()
})
