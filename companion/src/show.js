// The running order as the program's tally tells it, and what Companion makes of it: actions that
// send the program's OSC, feedbacks and variables that follow the tally, and presets built from the
// running order as it stands. `host` is the connection (the module's instance): the Companion calls
// it makes are the only way out, so that a test can stand in for Companion.
'use strict'

const dgram = require('node:dgram')
const { combineRgb, InstanceStatus } = require('@companion-module/base')
const osc = require('./osc')

/** No datagram from the program for this long (its heartbeat is once a second): it has gone. */
const GONE_AFTER_MS = 3500
/** Presets and variable definitions are rebuilt once the running order has been still this long. */
const SETTLE_MS = 150

// The program's own marks, as a lit key shows them: on air green, preview yellow, refused red, the cue blue.
const COLOURS = {
	white: combineRgb(255, 255, 255),
	black: combineRgb(0, 0, 0),
	onAir: combineRgb(0, 160, 0),
	preview: combineRgb(230, 200, 0),
	refused: combineRgb(200, 0, 0),
	cue: combineRgb(0, 0, 192),
	rest: combineRgb(40, 40, 40),
}

const MOVES = ['up', 'down', 'left', 'right', 'home', 'end']

function restingStep() {
	return { name: '', onair: false, preview: false, refused: false }
}

class Show {
	constructor(host) {
		this.host = host
		this.config = null
		this.socket = null
		this.reset()
	}

	reset() {
		this.entries = [] // { title, steps: [{ name, onair, preview, refused }] }
		this.cue = { entry: 0, step: 0, title: '', stepName: '' }
		this.link = false
		this.refusal = ''
		this.onAir = ['', '', '', '']
		this.present = false
		this.heardAt = 0
		this.shape = '' // the running order's titles and names the presets were built from
	}

	/** Opens the socket the tally comes to and asks for the state. */
	async start(config) {
		this.stop()
		this.config = config
		this.reset()
		this.host.setActionDefinitions(this.actions())
		this.host.setFeedbackDefinitions(this.feedbacks())
		this.rebuild()
		this.host.updateStatus(InstanceStatus.Connecting, 'waiting for the program')
		const socket = dgram.createSocket({ type: 'udp4', reuseAddr: false })
		this.socket = socket
		socket.on('message', (data) => this.receive(data))
		// A port another program holds (Companion's own OSC listener, say) is said, not waited on.
		const bound = await new Promise((resolve) => {
			socket.once('listening', () => resolve(true))
			socket.once('error', (error) => {
				this.host.log('error', `Tally port ${config.feedbackPort}: ${error.message}`)
				this.host.updateStatus(InstanceStatus.BadConfig, `tally port ${config.feedbackPort}: ${error.message}`)
				resolve(false)
			})
			socket.bind(config.feedbackPort, config.bind || '0.0.0.0')
		})
		if (!bound || this.socket !== socket) return
		socket.on('error', (error) => this.host.log('warn', `Tally port: ${error.message}`))
		this.send('/plintor/state')
		this.watch = setInterval(() => this.checkAlive(), 500)
	}

	stop() {
		clearInterval(this.watch)
		clearTimeout(this.settle)
		if (this.socket) {
			try {
				this.socket.close()
			} catch {
				// already closed by an error
			}
		}
		this.socket = null
	}

	send(address, args = []) {
		if (!this.socket || !this.config) return
		this.socket.send(osc.encode(address, args), this.config.port, this.config.host)
	}

	checkAlive() {
		if (this.present && Date.now() - this.heardAt > GONE_AFTER_MS) {
			this.present = false
			this.host.updateStatus(InstanceStatus.ConnectionFailure, 'the program does not answer')
			this.host.setVariableValues({ link: 'program not running' })
			this.host.checkFeedbacks('link')
		}
	}

	receive(data) {
		const message = osc.decode(data)
		if (!message) return
		this.heardAt = Date.now()
		if (!this.present) {
			// Started, or back after a restart: whatever was known is stale.
			this.present = true
			this.host.updateStatus(InstanceStatus.Ok)
			this.send('/plintor/state')
		}
		this.apply(message)
	}

	entry(n) {
		while (this.entries.length < n) this.entries.push({ title: '', steps: [] })
		return this.entries[n - 1]
	}

	step(n, k) {
		const entry = this.entry(n)
		while (entry.steps.length < k) entry.steps.push(restingStep())
		return entry.steps[k - 1]
	}

	/** Applies one tally message. */
	apply({ address, args }) {
		const path = address.split('/').slice(1)
		if (path[0] !== 'plintor') return
		const first = args[0]
		const values = {}
		if (path[1] === 'entry' && path.length >= 4) {
			const n = Number(path[2])
			if (!(n >= 1 && n <= 10000)) return
			if (path[3] === 'title' && path.length === 4) {
				this.entry(n).title = String(first ?? '')
				values[`entry_${n}_title`] = this.entry(n).title
				this.changedShape()
			} else if (path[3] === 'step' && path.length === 6) {
				const k = Number(path[4])
				if (!(k >= 1 && k <= 100)) return
				const step = this.step(n, k)
				const what = path[5]
				if (what === 'name') {
					step.name = String(first ?? '')
					values[`entry_${n}_step_${k}_name`] = step.name
					this.changedShape()
				} else if (what === 'onair' || what === 'preview' || what === 'refused') {
					step[what] = first === 1 || first === true
					this.host.checkFeedbacks(`step_${what}`)
				}
			}
		} else if (address === '/plintor/cue') {
			this.cue.entry = Number(args[0]) || 0
			this.cue.step = Number(args[1]) || 0
			values.cue_entry = this.cue.entry > 0 ? String(this.cue.entry) : ''
			values.cue_step_number = this.cue.step > 0 ? String(this.cue.step) : ''
			this.host.checkFeedbacks('cue')
		} else if (address === '/plintor/cue/title') {
			this.cue.title = String(first ?? '')
			values.cue_title = this.cue.title
		} else if (address === '/plintor/cue/step') {
			this.cue.stepName = String(first ?? '')
			values.cue_step = this.cue.stepName
		} else if (address === '/plintor/link') {
			this.link = first === 1
			values.link = this.link ? 'connected' : 'not connected'
			this.host.checkFeedbacks('link')
		} else if (address === '/plintor/refusal') {
			this.refusal = String(first ?? '')
			values.refusal = this.refusal
		} else if (path[1] === 'onair' && path.length === 3) {
			const c = Number(path[2])
			if (!(c >= 1 && c <= 4)) return
			this.onAir[c - 1] = String(first ?? '')
			values[`onair_${c}`] = this.onAir[c - 1]
		} else if (address === '/plintor/entries') {
			const count = Number(first)
			if (!(count >= 0 && count <= 10000)) return
			if (this.entries.length !== count) {
				this.entries.length = Math.min(this.entries.length, count)
				this.entry(count)
				this.changedShape()
			}
		}
		if (Object.keys(values).length > 0) this.host.setVariableValues(values)
	}

	/** A title, a name or the count changed: presets and variables follow once it settles. */
	changedShape() {
		clearTimeout(this.settle)
		this.settle = setTimeout(() => this.rebuild(), SETTLE_MS)
	}

	rebuild() {
		const shape = JSON.stringify(this.entries.map((e) => [e.title, e.steps.map((s) => s.name)]))
		if (shape === this.shape && this.built) return
		this.shape = shape
		this.built = true
		this.host.setVariableDefinitions(this.variables())
		this.host.setVariableValues(this.variableValues())
		this.host.setPresetDefinitions(this.presets())
	}

	variables() {
		const out = [
			{ variableId: 'cue_entry', name: 'Cue: entry number' },
			{ variableId: 'cue_step_number', name: 'Cue: step number' },
			{ variableId: 'cue_title', name: "Cue: entry's title" },
			{ variableId: 'cue_step', name: "Cue: step's name" },
			{ variableId: 'link', name: 'Link to the playout server' },
			{ variableId: 'refusal', name: "The server's answer to the last refused line" },
		]
		for (let c = 1; c <= 4; c++) out.push({ variableId: `onair_${c}`, name: `On air on channel ${c}` })
		this.entries.forEach((entry, i) => {
			out.push({ variableId: `entry_${i + 1}_title`, name: `Entry ${i + 1}: title` })
			entry.steps.forEach((_, k) =>
				out.push({ variableId: `entry_${i + 1}_step_${k + 1}_name`, name: `Entry ${i + 1}: step ${k + 1}` }),
			)
		})
		return out
	}

	variableValues() {
		const values = {
			cue_entry: this.cue.entry > 0 ? String(this.cue.entry) : '',
			cue_step_number: this.cue.step > 0 ? String(this.cue.step) : '',
			cue_title: this.cue.title,
			cue_step: this.cue.stepName,
			link: this.present ? (this.link ? 'connected' : 'not connected') : 'program not running',
			refusal: this.refusal,
		}
		this.onAir.forEach((title, c) => (values[`onair_${c + 1}`] = title))
		this.entries.forEach((entry, i) => {
			values[`entry_${i + 1}_title`] = entry.title
			entry.steps.forEach((step, k) => (values[`entry_${i + 1}_step_${k + 1}_name`] = step.name))
		})
		return values
	}

	actions() {
		const number = (id, label) => ({ type: 'number', id, label, default: 1, min: 1, max: 9999 })
		const press = (address) => () => this.send(address)
		const stepAddress = (options, what) =>
			`/plintor/entry/${Math.round(options.entry)}/step/${Math.round(options.step)}/${what}`
		return {
			cue_fire: { name: 'Fire the cue on air', options: [], callback: press('/plintor/cue/fire') },
			cue_preview: { name: 'Fire the cue on preview', options: [], callback: press('/plintor/cue/preview') },
			cue_move: {
				name: 'Move the cue',
				options: [
					{
						type: 'dropdown',
						id: 'move',
						label: 'Move',
						default: 'down',
						choices: MOVES.map((m) => ({ id: m, label: m })),
					},
				],
				callback: ({ options }) => MOVES.includes(options.move) && this.send(`/plintor/cue/${options.move}`),
			},
			cue_goto: {
				name: 'Put the cue on an entry',
				options: [number('entry', 'Entry'), number('step', 'Step')],
				callback: ({ options }) =>
					this.send('/plintor/cue/goto', [Math.round(options.entry), Math.round(options.step)]),
			},
			step_fire: {
				name: "Fire an entry's step on air",
				options: [number('entry', 'Entry'), number('step', 'Step')],
				callback: ({ options }) => this.send(stepAddress(options, 'fire')),
			},
			step_preview: {
				name: "Fire an entry's step on preview",
				options: [number('entry', 'Entry'), number('step', 'Step')],
				callback: ({ options }) => this.send(stepAddress(options, 'preview')),
			},
			cue_clear: { name: "Clear the cue's layer on air", options: [], callback: press('/plintor/cue/clear') },
			cue_clear_preview: {
				name: "Clear the cue's layer on preview",
				options: [],
				callback: press('/plintor/cue/clear/preview'),
			},
			channel_clear: {
				name: 'Clear a channel',
				options: [
					{
						type: 'dropdown',
						id: 'channel',
						label: 'Channel',
						default: 1,
						choices: [1, 2, 3, 4].map((c) => ({ id: c, label: String(c) })),
					},
				],
				callback: ({ options }) => {
					const c = Number(options.channel)
					if (c >= 1 && c <= 4) this.send(`/plintor/channel/${c}/clear`)
				},
			},
			state: { name: 'Ask for the whole tally again', options: [], callback: press('/plintor/state') },
		}
	}

	stepAt(options) {
		return this.entries[Math.round(options.entry) - 1]?.steps[Math.round(options.step) - 1]
	}

	feedbacks() {
		const where = [
			{ type: 'number', id: 'entry', label: 'Entry', default: 1, min: 1, max: 9999 },
			{ type: 'number', id: 'step', label: 'Step', default: 1, min: 1, max: 9999 },
		]
		const mark = (name, what, bgcolor) => ({
			type: 'boolean',
			name,
			options: where,
			defaultStyle: { bgcolor, color: COLOURS.white },
			callback: ({ options }) => Boolean(this.stepAt(options)?.[what]),
		})
		return {
			step_onair: mark('A step is on air', 'onair', COLOURS.onAir),
			step_preview: { ...mark('A step is on preview', 'preview', COLOURS.preview), defaultStyle: { bgcolor: COLOURS.preview, color: COLOURS.black } },
			step_refused: mark('A step was refused by the server', 'refused', COLOURS.refused),
			cue: {
				type: 'boolean',
				name: 'The cue is on a step',
				options: where,
				defaultStyle: { bgcolor: COLOURS.cue, color: COLOURS.white },
				callback: ({ options }) =>
					this.cue.entry === Math.round(options.entry) && this.cue.step === Math.round(options.step),
			},
			link: {
				type: 'boolean',
				name: 'The program is linked to the playout server',
				options: [],
				defaultStyle: { bgcolor: COLOURS.onAir, color: COLOURS.white },
				callback: () => this.present && this.link,
			},
		}
	}

	presets() {
		const label = this.host.label || 'plintor'
		const v = (name) => `$(${label}:${name})`
		const button = (category, name, text, actionId, options = {}, feedbacks = [], size = '14') => ({
			type: 'button',
			category,
			name,
			style: { text, size, color: COLOURS.white, bgcolor: COLOURS.rest },
			feedbacks,
			steps: [{ down: [{ actionId, options }], up: [] }],
		})
		const presets = {
			fire: button('Transport', 'Fire the cue', `FIRE\n${v('cue_title')}`, 'cue_fire', {}, [], '14'),
			preview: button('Transport', 'Preview the cue', `PREVIEW\n${v('cue_title')}`, 'cue_preview'),
		}
		for (const move of MOVES) presets[`move_${move}`] = button('Transport', `Cue ${move}`, move.toUpperCase(), 'cue_move', { move }, [], '18')
		presets.clear = button('Transport', "Clear the cue's layer", 'CLEAR', 'cue_clear', {}, [], '18')
		presets.clear_preview = button('Transport', "Clear the cue's preview", 'CLEAR\nPREVIEW', 'cue_clear_preview')
		for (let c = 1; c <= 4; c++)
			presets[`channel_${c}`] = button('Transport', `Clear channel ${c}`, `CLEAR ${c}\n${v(`onair_${c}`)}`, 'channel_clear', { channel: c })
		presets.link = button('Transport', 'Link and state', `LINK\n${v('link')}`, 'state', {}, [
			{ feedbackId: 'link', options: {}, style: { bgcolor: COLOURS.onAir, color: COLOURS.white } },
		])
		this.entries.forEach((entry, i) => {
			const n = i + 1
			entry.steps.forEach((step, k) => {
				const where = { entry: n, step: k + 1 }
				// The texts are variables, so a button laid out from a preset shows whatever the row holds now.
				presets[`entry_${n}_step_${k + 1}`] = button(
					'Running order',
					`${n} ${entry.title}: ${step.name}`,
					`${v(`entry_${n}_title`)}\n${v(`entry_${n}_step_${k + 1}_name`)}`,
					'step_fire',
					where,
					[
						{ feedbackId: 'cue', options: where, style: { bgcolor: COLOURS.cue } },
						{ feedbackId: 'step_preview', options: where, style: { bgcolor: COLOURS.preview, color: COLOURS.black } },
						{ feedbackId: 'step_onair', options: where, style: { bgcolor: COLOURS.onAir } },
						{ feedbackId: 'step_refused', options: where, style: { bgcolor: COLOURS.refused } },
					],
				)
			})
		})
		return presets
	}
}

module.exports = { Show, COLOURS, GONE_AFTER_MS }
